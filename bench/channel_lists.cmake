# The big public channel lists: reading 10,000 channels (goal: at most
# 150 ms), one keystroke of the channel search (16 ms) and matching the 101
# built-in channels (20 ms).
add_executable(bench_channel_lists ${CMAKE_SOURCE_DIR}/bench/bench_channel_lists.cpp)
target_link_libraries(bench_channel_lists PRIVATE lumi_settings channel_lists Qt6::Core)

# Opening the channel window on 10,000 channels (goal: at most 300 ms).
add_executable(bench_channel_window ${CMAKE_SOURCE_DIR}/bench/bench_channel_window.cpp)
target_link_libraries(bench_channel_window PRIVATE lumi_settings lumi_windows Qt6::Widgets)
