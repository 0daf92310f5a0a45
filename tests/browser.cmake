# Browser: search-term rules and addresses (no display), the browser window with
# its view replaced by the placeholder, and the About/FAQ windows.
lumi_add_test(search_address SOURCES ${CMAKE_SOURCE_DIR}/tests/search_address_test.cpp LIBS browser_core)
lumi_add_test(browser_window SOURCES ${CMAKE_SOURCE_DIR}/tests/browser_window_test.cpp LIBS lumi_gui)
lumi_add_test(about_window SOURCES ${CMAKE_SOURCE_DIR}/tests/about_window_test.cpp LIBS lumi_gui)
