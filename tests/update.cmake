# Updates: the download component against the loopback server (its worker
# threads make it a ThreadSanitizer case).
lumi_add_test(httpget SOURCES ${CMAKE_SOURCE_DIR}/tests/httpget_test.cpp LIBS update_core
  TIMEOUT 180 LABELS threads)
