# Pause and rewind of live channels: a 30-minute pause (time-accelerated) on
# a 5 Mb/s channel, its memory, CPU while paused, and play without a hole.
add_executable(bench_live_buffer ${CMAKE_SOURCE_DIR}/bench/bench_live_buffer.cpp ${CMAKE_SOURCE_DIR}/bench/LiveChannels.h
  ${CMAKE_SOURCE_DIR}/tests/support/LiveStream.cpp ${CMAKE_SOURCE_DIR}/tests/support/LoopbackHttpServer.cpp)
target_link_libraries(bench_live_buffer PRIVATE lumi_settings lumi_engine Qt6::Widgets Qt6::Network)
