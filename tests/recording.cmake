# Recording: the stream recorder and the live buffer against live channels on
# the loopback server (tests/support/LiveStream), the recordings and schedule models.
# A live channel makes its clip with ffmpeg once the server's threads run: under
# ThreadSanitizer that fork (straight into exec) must be allowed.
set(live_tsan "TSAN_OPTIONS=halt_on_error=1:die_after_fork=0:suppressions=${CMAKE_SOURCE_DIR}/tests/tsan.supp")
lumi_add_test(streamrecorder SOURCES ${CMAKE_SOURCE_DIR}/tests/streamrecorder_test.cpp TIMEOUT 120
  LABELS threads ENV ${live_tsan})
lumi_add_test(recordinglist SOURCES ${CMAKE_SOURCE_DIR}/tests/recordinglist_test.cpp LIBS recording_core TIMEOUT 30)
lumi_add_test(recordingschedule SOURCES ${CMAKE_SOURCE_DIR}/tests/recordingschedule_test.cpp LIBS recording_core
  TIMEOUT 30)
lumi_add_test(recorderservice SOURCES ${CMAKE_SOURCE_DIR}/tests/recorderservice_test.cpp LIBS recording_core
  TIMEOUT 60 LABELS threads ENV ${live_tsan})
# Full stacks on every allocation let the leak suppression of libmpv's cache
# dump see libmpv behind libavutil, which keeps no frame pointers; both tests
# record from the start of the live buffer.
set(full_stacks "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=0:fast_unwind_on_malloc=0")
lumi_add_test(livebuffer SOURCES ${CMAKE_SOURCE_DIR}/tests/livebuffer_test.cpp LIBS recording_core TIMEOUT 300
  LABELS threads ENV ${full_stacks} ${live_tsan})
add_dependencies(livebuffer engine_fixtures)
lumi_add_test(recordingshub SOURCES ${CMAKE_SOURCE_DIR}/tests/recordingshub_test.cpp LIBS lumi_app TIMEOUT 120
  LABELS threads ENV ${full_stacks} ${live_tsan})
lumi_add_test(recordingswindow SOURCES ${CMAKE_SOURCE_DIR}/tests/recordingswindow_test.cpp LIBS lumi_windows TIMEOUT 30)
