# CPU while a 640x360 video plays in the shown main window, against the players
# a user would pick instead on the same file (X11: Celluloid, SMPlayer, bare mpv;
# Wayland: bare mpv), and while paused and stopped; and each way of drawing the
# video measured alone. Need ffmpeg and the players, which bench/run installs.
add_executable(bench_playing ${CMAKE_SOURCE_DIR}/bench/bench_playing.cpp ${CMAKE_SOURCE_DIR}/bench/PlayingCpu.h)
target_link_libraries(bench_playing PRIVATE lumi_settings lumi_app)
add_executable(bench_video_paths ${CMAKE_SOURCE_DIR}/bench/bench_video_paths.cpp ${CMAKE_SOURCE_DIR}/bench/PlayingCpu.h)
target_link_libraries(bench_video_paths PRIVATE lumi_settings lumi_engine)
