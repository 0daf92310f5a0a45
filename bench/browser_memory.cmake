# Resident memory idle, with the browser window open (in its own process) and
# after it closed (goal: within 10 MB of idle). Runs itself under xvfb-run.
add_executable(bench_browser_memory ${CMAKE_SOURCE_DIR}/bench/bench_browser_memory.cpp)
target_link_libraries(bench_browser_memory PRIVATE lumi_settings lumi_app)
if(ENABLE_WEBVIEW)
  lumi_copy_webview_beside(bench_browser_memory)
endif()
