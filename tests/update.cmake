# Updates: the download component against the loopback server (its worker
# threads make it a ThreadSanitizer case).
lumi_add_test(httpget SOURCES ${CMAKE_SOURCE_DIR}/tests/httpget_test.cpp LIBS update_core
  TIMEOUT 180 LABELS threads)
lumi_add_test(update_settings SOURCES ${CMAKE_SOURCE_DIR}/tests/update_settings_test.cpp LIBS update_core)
# The window shows sizes in the system locale; pin it so the texts are known.
lumi_add_test(update_window SOURCES ${CMAKE_SOURCE_DIR}/tests/update_window_test.cpp LIBS lumi_app
  ENV LC_ALL=pt_BR.UTF-8 LABELS threads)
lumi_add_test(update_check SOURCES ${CMAKE_SOURCE_DIR}/tests/update_check_test.cpp LIBS lumi_app
  LABELS threads)
