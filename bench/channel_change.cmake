# Channel changes: click to first picture against bare mpv on live MPEG-TS and
# HLS, and a stalled source giving way to the next. Need mpv, which bench/run installs.
add_executable(bench_channel_change ${CMAKE_SOURCE_DIR}/bench/bench_channel_change.cpp
  ${CMAKE_SOURCE_DIR}/bench/LiveChannels.h ${CMAKE_SOURCE_DIR}/bench/PlayingCpu.h
  ${CMAKE_SOURCE_DIR}/tests/support/LiveStream.cpp ${CMAKE_SOURCE_DIR}/tests/support/LoopbackHttpServer.cpp)
target_link_libraries(bench_channel_change PRIVATE lumi_settings lumi_player Qt6::Widgets Qt6::Network)
