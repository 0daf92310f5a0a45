# Opening media from outside the window: arguments, a second copy, the keys.
lumi_add_test(command_line SOURCES ${CMAKE_SOURCE_DIR}/tests/command_line_test.cpp LIBS lumi_app)
lumi_add_test(open_from_outside SOURCES ${CMAKE_SOURCE_DIR}/tests/open_from_outside_test.cpp LIBS lumi_app Qt6::DBus
  SESSION_BUS)
lumi_add_test(keyboard_shortcuts SOURCES ${CMAKE_SOURCE_DIR}/tests/keyboard_shortcuts_test.cpp LIBS lumi_app)
lumi_add_test(accessibility_walk SOURCES ${CMAKE_SOURCE_DIR}/tests/accessibility_walk_test.cpp LIBS lumi_app)
