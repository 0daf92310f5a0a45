# The main window on the real libmpv engine with null outputs: the transport
# buttons on a short local file, and a live loopback stream that stalls while
# the reconnection system watches.
find_program(FFMPEG_EXECUTABLE ffmpeg REQUIRED)
set(realwindow_fixtures ${LUMI_FIXTURE_DIR})
# MPEG-TS with video and sound; served without a length it plays as live TV.
add_custom_command(OUTPUT ${realwindow_fixtures}/live.ts
  COMMAND ${FFMPEG_EXECUTABLE} -hide_banner -loglevel error -y
          -f lavfi -i testsrc=size=160x120:rate=10:duration=8 -f lavfi -i sine=frequency=440:duration=8
          -c:v mpeg2video -q:v 6 -c:a mp2 -b:a 64k -shortest -f mpegts ${realwindow_fixtures}/live.ts
  VERBATIM)
add_custom_target(realwindow_fixtures DEPENDS ${realwindow_fixtures}/live.ts)

# libav's probing trips ASan's strict string checks (see engine.cmake).
lumi_add_test(windowplayback SOURCES ${CMAKE_SOURCE_DIR}/tests/windowplayback_test.cpp LIBS lumi_app
  TIMEOUT 180 ENV "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=0")
add_dependencies(windowplayback engine_fixtures)
lumi_add_test(windowstall SOURCES ${CMAKE_SOURCE_DIR}/tests/windowstall_test.cpp LIBS lumi_app
  TIMEOUT 300 ENV "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=0")
add_dependencies(windowstall realwindow_fixtures)
# The player maps no GL driver until a video plays; the browser runs in the real
# program started as its own process (the web engine needs its sandbox off as root).
lumi_add_test(idle_gl SOURCES ${CMAKE_SOURCE_DIR}/tests/idle_gl_test.cpp LIBS lumi_app DISPLAY GL_DRIVER_WATCHED TIMEOUT 120
  ENV QTWEBENGINE_DISABLE_SANDBOX=1
  "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:strict_string_checks=0:new_delete_type_mismatch=0")
target_compile_definitions(idle_gl PRIVATE LUMI_PROGRAM="$<TARGET_FILE:lumivortex>")
add_dependencies(idle_gl engine_fixtures lumivortex)
# The main window with its video drawn (each video path) and the screen read
# back; and a machine where no OpenGL context can be made at all.
lumi_add_test(windowvideo SOURCES ${CMAKE_SOURCE_DIR}/tests/windowvideo_test.cpp LIBS lumi_app DISPLAY
  TIMEOUT 120 ENV "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=0")
add_dependencies(windowvideo engine_fixtures)
lumi_add_test(videowithoutgl SOURCES ${CMAKE_SOURCE_DIR}/tests/videowithoutgl_test.cpp LIBS lumi_app DISPLAY
  TIMEOUT 120 ENV QT_XCB_GL_INTEGRATION=none "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=0")
add_dependencies(videowithoutgl engine_fixtures)
# A live channel paused, rewound and freed through the main window.
lumi_add_test(windowtimeshift SOURCES ${CMAKE_SOURCE_DIR}/tests/windowtimeshift_test.cpp LIBS lumi_app
  TIMEOUT 180 ENV "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=0")
add_dependencies(windowtimeshift engine_fixtures)
