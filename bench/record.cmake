# Recording live channels: CPU alone and beside watching, and a two-hour
# recording (time-accelerated) through a dead connection and a source switch.
# Need ffmpeg, ffprobe and mpv.
add_executable(bench_record ${CMAKE_SOURCE_DIR}/bench/bench_record.cpp ${CMAKE_SOURCE_DIR}/bench/LiveChannels.h
  ${CMAKE_SOURCE_DIR}/tests/support/LiveStream.cpp ${CMAKE_SOURCE_DIR}/tests/support/LoopbackHttpServer.cpp)
target_link_libraries(bench_record PRIVATE lumi_settings lumi_engine Qt6::Widgets Qt6::Network)
