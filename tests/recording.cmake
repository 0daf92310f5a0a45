# Recording: the stream recorder and the live buffer against live channels on
# the loopback server (tests/support/LiveStream), the recordings and schedule models.
lumi_add_test(streamrecorder SOURCES ${CMAKE_SOURCE_DIR}/tests/streamrecorder_test.cpp TIMEOUT 120
  LABELS threads)
lumi_add_test(recordinglist SOURCES ${CMAKE_SOURCE_DIR}/tests/recordinglist_test.cpp LIBS recording_core TIMEOUT 30)
lumi_add_test(recordingschedule SOURCES ${CMAKE_SOURCE_DIR}/tests/recordingschedule_test.cpp LIBS recording_core
  TIMEOUT 30)
lumi_add_test(recorderservice SOURCES ${CMAKE_SOURCE_DIR}/tests/recorderservice_test.cpp LIBS recording_core
  TIMEOUT 60 LABELS threads)
lumi_add_test(livebuffer SOURCES ${CMAKE_SOURCE_DIR}/tests/livebuffer_test.cpp LIBS recording_core TIMEOUT 180
  LABELS threads
  ENV "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=0")
add_dependencies(livebuffer engine_fixtures)
