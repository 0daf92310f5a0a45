# Options: the sleep schedule, the options window, the power-off service.
lumi_add_test(sleep_schedule SOURCES ${CMAKE_SOURCE_DIR}/tests/sleep_schedule_test.cpp LIBS options_core)
lumi_add_test(options_window SOURCES ${CMAKE_SOURCE_DIR}/tests/options_window_test.cpp LIBS lumi_app)
lumi_add_test(logind_power_off SOURCES ${CMAKE_SOURCE_DIR}/tests/logind_power_off_test.cpp LIBS lumi_app)
lumi_add_test(keptoptions SOURCES ${CMAKE_SOURCE_DIR}/tests/keptoptions_test.cpp LIBS options_core)
lumi_add_test(livebufferchoice SOURCES ${CMAKE_SOURCE_DIR}/tests/livebufferchoice_test.cpp LIBS lumi_app)
