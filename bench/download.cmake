# HttpDownload against `curl -o` on a 200 MB loopback download (the server is the
# tests' loopback server, compiled in so the bench does not need the tests).
add_executable(bench_download ${CMAKE_SOURCE_DIR}/bench/bench_download.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/LoopbackHttpServer.cpp)
target_link_libraries(bench_download PRIVATE lumi_settings update_core Qt6::Core)
