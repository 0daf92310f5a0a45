# The player without widgets: its models driven on the fake engine, no window.
lumi_add_test(player SOURCES ${CMAKE_SOURCE_DIR}/tests/player_test.cpp LIBS lumi_player)
# Switching a failing channel to its next source without asking.
lumi_add_test(sourcefailover SOURCES ${CMAKE_SOURCE_DIR}/tests/sourcefailover_test.cpp LIBS lumi_player)
# The same against two live loopback channels on the real engine; a live
# channel makes its clip with ffmpeg once the server's threads run.
lumi_add_test(failover_endtoend SOURCES ${CMAKE_SOURCE_DIR}/tests/failover_endtoend_test.cpp LIBS lumi_player
  TIMEOUT 120 LABELS threads
  ENV "TSAN_OPTIONS=halt_on_error=1:die_after_fork=0:suppressions=${CMAKE_SOURCE_DIR}/tests/tsan.supp"
      "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=0:fast_unwind_on_malloc=0")
