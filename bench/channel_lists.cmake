# The big public channel lists: reading 10,000 channels (goal: at most
# 150 ms), one keystroke of the channel search (16 ms) and matching the 101
# built-in channels (20 ms).
add_executable(bench_channel_lists ${CMAKE_SOURCE_DIR}/bench/bench_channel_lists.cpp)
target_link_libraries(bench_channel_lists PRIVATE lumi_settings channel_lists Qt6::Core)

# Opening the channel window on 10,000 channels (goal: at most 300 ms).
add_executable(bench_channel_window ${CMAKE_SOURCE_DIR}/bench/bench_channel_window.cpp)
target_link_libraries(bench_channel_window PRIVATE lumi_settings lumi_windows Qt6::Widgets)

# The longest GUI-thread pause while a 10,000-channel list loads from a loopback
# server and the channel window fills with logos (goal: none over 50 ms).
add_executable(bench_channel_stall ${CMAKE_SOURCE_DIR}/bench/bench_channel_stall.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/LoopbackHttpServer.cpp)
target_link_libraries(bench_channel_stall PRIVATE lumi_settings lumi_windows Qt6::Widgets)

# Checking 1,000 sources on loopback servers, 20 % dead and 10 % slow (goals:
# within 60 s, at most 4 connections, one request a second per server, no GUI
# stall over 50 ms).
add_executable(bench_source_check ${CMAKE_SOURCE_DIR}/bench/bench_source_check.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/LoopbackHttpServer.cpp)
target_link_libraries(bench_source_check PRIVATE lumi_settings channel_lists Qt6::Core)

# Resident memory of the program holding a 100,000-channel list, and with the
# channel window open on it, against the program idle (goal: at most 40 MB
# more). Runs itself under xvfb-run.
add_executable(bench_list_memory ${CMAKE_SOURCE_DIR}/bench/bench_list_memory.cpp)
target_link_libraries(bench_list_memory PRIVATE lumi_settings lumi_app)
