# A drop of 10,000 files on the playlist window (goal: at most 2 s, one store
# write) against the per-file store rewrites measured in the same run.
add_executable(bench_playlist ${CMAKE_SOURCE_DIR}/bench/bench_playlist.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/FakeEngine.cpp)
target_link_libraries(bench_playlist PRIVATE lumi_settings lumi_app)
