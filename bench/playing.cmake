# CPU while a 640x360 video plays in the shown main window, against mpv's own
# OpenGL output on the same file (goal: at most 1.05x mpv), and while paused
# and stopped. Needs ffmpeg and mpv; runs itself under xvfb-run without a display.
add_executable(bench_playing ${CMAKE_SOURCE_DIR}/bench/bench_playing.cpp)
target_link_libraries(bench_playing PRIVATE lumi_settings lumi_app)
