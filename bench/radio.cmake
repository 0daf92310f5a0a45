# The radio database: a 100-station answer of the loopback stand-in on screen
# in "Rádios" (goal: at most 100 ms after the answer), the longest keystroke of
# its search (16 ms), and matching the 37 built-in radios against 50,000
# cached stations (50 ms).
add_executable(bench_radio ${CMAKE_SOURCE_DIR}/bench/bench_radio.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/LoopbackHttpServer.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/RadioDatabaseStandIn.cpp)
target_link_libraries(bench_radio PRIVATE lumi_settings lumi_windows Qt6::Widgets)
