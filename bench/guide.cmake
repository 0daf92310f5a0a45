# Programme guides: importing generated 200 MB and 1 GB guides against a bare
# QXmlStreamReader pass (goal: 1.5x), memory, the GUI thread while importing,
# a cached start; now/next for 10,000 channels and the grid's frames.
add_executable(bench_guide_import ${CMAKE_SOURCE_DIR}/bench/bench_guide_import.cpp)
target_link_libraries(bench_guide_import PRIVATE lumi_settings guide_core Qt6::Core)
add_executable(bench_guide_nownext ${CMAKE_SOURCE_DIR}/bench/bench_guide_nownext.cpp)
target_link_libraries(bench_guide_nownext PRIVATE lumi_settings guide_core Qt6::Core)
add_executable(bench_guide_grid ${CMAKE_SOURCE_DIR}/bench/bench_guide_grid.cpp)
target_link_libraries(bench_guide_grid PRIVATE lumi_settings lumi_windows Qt6::Widgets)
add_executable(bench_channel_window_guide ${CMAKE_SOURCE_DIR}/bench/bench_channel_window_guide.cpp)
target_link_libraries(bench_channel_window_guide PRIVATE lumi_settings lumi_windows Qt6::Widgets Qt6::Test)
