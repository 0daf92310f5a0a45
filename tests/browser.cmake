# Browser: search-term rules and addresses (no display), the browser window with
# its view replaced by the placeholder, the real web view loaded on first show,
# and the About/F.A.Q. windows.
lumi_add_test(search_address SOURCES ${CMAKE_SOURCE_DIR}/tests/search_address_test.cpp LIBS browser_core)
lumi_add_test(browser_window SOURCES ${CMAKE_SOURCE_DIR}/tests/browser_window_test.cpp LIBS lumi_gui)
lumi_add_test(about_window SOURCES ${CMAKE_SOURCE_DIR}/tests/about_window_test.cpp LIBS lumi_gui)
if(ENABLE_WEBVIEW)
  # The web engine refuses to run as root with its sandbox on; only this test turns it off.
  lumi_add_test(browser_webengine SOURCES ${CMAKE_SOURCE_DIR}/tests/browser_webengine_test.cpp LIBS lumi_gui
    DISPLAY TIMEOUT 120 ENV QTWEBENGINE_DISABLE_SANDBOX=1)
endif()
