# Browser: search-term rules and addresses (no display), the browser window with
# its view replaced by the placeholder, the real web view loaded on first show,
# and the About/F.A.Q. windows.
lumi_add_test(search_address SOURCES ${CMAKE_SOURCE_DIR}/tests/search_address_test.cpp LIBS browser_core)
lumi_add_test(browser_window SOURCES ${CMAKE_SOURCE_DIR}/tests/browser_window_test.cpp LIBS lumi_app)
lumi_add_test(about_window SOURCES ${CMAKE_SOURCE_DIR}/tests/about_window_test.cpp LIBS lumi_app)
if(ENABLE_WEBVIEW)
  # The web engine refuses to run as root with its sandbox on; only this test turns it off.
  # Under ASan, Chromium's own sized deletes and libxkbcommon-x11's strndup (met while
  # Qt connects to the X server) would stop the run before any of our code is checked,
  # and Chromium leaves allocations at exit, some in libraries it has unloaded. Leaks
  # of the window's own code are checked by browser_window, which runs it without the engine.
  lumi_add_test(browser_webengine SOURCES ${CMAKE_SOURCE_DIR}/tests/browser_webengine_test.cpp LIBS lumi_app
    DISPLAY TIMEOUT 120 ENV QTWEBENGINE_DISABLE_SANDBOX=1
    "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:strict_string_checks=0:new_delete_type_mismatch=0")
  lumi_copy_webview_beside(browser_webengine)
endif()
lumi_add_test(browser_process SOURCES ${CMAKE_SOURCE_DIR}/tests/browser_process_test.cpp LIBS lumi_app)
