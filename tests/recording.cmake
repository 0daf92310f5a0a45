# Recording: the stream recorder and the live buffer against live channels on
# the loopback server (tests/support/LiveStream), the recordings and schedule models.
lumi_add_test(streamrecorder SOURCES ${CMAKE_SOURCE_DIR}/tests/streamrecorder_test.cpp TIMEOUT 120
  LABELS threads)
lumi_add_test(recordinglist SOURCES ${CMAKE_SOURCE_DIR}/tests/recordinglist_test.cpp LIBS recording_core TIMEOUT 30)
lumi_add_test(recordingschedule SOURCES ${CMAKE_SOURCE_DIR}/tests/recordingschedule_test.cpp LIBS recording_core
  TIMEOUT 30)
lumi_add_test(recorderservice SOURCES ${CMAKE_SOURCE_DIR}/tests/recorderservice_test.cpp LIBS recording_core
  TIMEOUT 60 LABELS threads)
