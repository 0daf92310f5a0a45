# Desktop integration: the program's embedded icon, the desktop entry and the
# metainfo as their validators see them, and the layout of an install.
lumi_add_test(program_icon SOURCES ${CMAKE_SOURCE_DIR}/tests/program_icon_test.cpp LIBS lumi_appicon)

# Warnings fail too: a desktop entry with one is shown wrongly by some menus.
add_test(NAME desktop_entry_valid
  COMMAND desktop-file-validate ${CMAKE_SOURCE_DIR}/packaging/lumivortex.desktop)
set_tests_properties(desktop_entry_valid PROPERTIES FAIL_REGULAR_EXPRESSION "error|warning")
add_test(NAME metainfo_valid
  COMMAND appstreamcli validate --no-net --strict
          ${CMAKE_SOURCE_DIR}/packaging/io.github.lumivortex.LumivortexTV.metainfo.xml)

add_test(NAME install_layout
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/install_layout_test.sh ${CMAKE_BINARY_DIR} $<IF:$<BOOL:${ENABLE_WEBVIEW}>,ON,OFF>)
set_tests_properties(install_layout PROPERTIES TIMEOUT 120)

# Includes point down the layers only.
add_test(NAME include_direction COMMAND bash ${CMAKE_SOURCE_DIR}/tests/include_direction_test.sh ${CMAKE_SOURCE_DIR})
