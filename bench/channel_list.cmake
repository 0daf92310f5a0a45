# Start-up reading of the user's channel list, worst files of each kind
# (goal: at most 50 ms each), against plainly reading 1 MiB in the same run.
add_executable(bench_channel_list ${CMAKE_SOURCE_DIR}/bench/bench_channel_list.cpp)
target_link_libraries(bench_channel_list PRIVATE lumi_settings channels_core Qt6::Core)
