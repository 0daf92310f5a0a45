# Engine tests: the playlist parser, the stream resolver against the loopback
# server, and the real libmpv engine with null outputs on small media files
# that the build makes with ffmpeg.
find_program(FFMPEG_EXECUTABLE ffmpeg REQUIRED)

set(ffmpeg ${FFMPEG_EXECUTABLE} -hide_banner -loglevel error -y)
set(fx ${LUMI_FIXTURE_DIR})
add_custom_command(OUTPUT ${fx}/clip2.mp4
  COMMAND ${ffmpeg} -f lavfi -i testsrc=size=160x120:rate=10:duration=2
          -f lavfi -i sine=frequency=440:duration=2 -c:v mpeg4 -c:a aac -b:a 32k -shortest -movflags +faststart ${fx}/clip2.mp4
  VERBATIM)
add_custom_command(OUTPUT ${fx}/clip5.mp4
  COMMAND ${ffmpeg} -f lavfi -i testsrc=size=160x120:rate=10:duration=5
          -f lavfi -i sine=frequency=660:duration=5 -c:v mpeg4 -c:a aac -b:a 32k -shortest -movflags +faststart ${fx}/clip5.mp4
  VERBATIM)
# No Xing header and no tags: served endlessly it must look like a radio stream.
add_custom_command(OUTPUT ${fx}/stream.mp3
  COMMAND ${ffmpeg} -f lavfi -i sine=frequency=550:duration=1 -ac 1 -c:a libmp3lame -b:a 32k
          -write_xing 0 -id3v2_version 0 ${fx}/stream.mp3
  VERBATIM)
# A bright solid colour for the drawing test.
add_custom_command(OUTPUT ${fx}/red.mp4
  COMMAND ${ffmpeg} -f lavfi -i color=c=red:size=160x120:rate=10:duration=3 -c:v mpeg4 -q:v 2
          -pix_fmt yuv420p -movflags +faststart ${fx}/red.mp4
  VERBATIM)
# A local HLS playlist of four one-second segments.
add_custom_command(OUTPUT ${fx}/hls/index.m3u8
  COMMAND ${CMAKE_COMMAND} -E make_directory ${fx}/hls
  COMMAND ${ffmpeg} -f lavfi -i sine=frequency=330:duration=4 -c:a aac -b:a 32k -f hls -hls_time 1
          -hls_list_size 0 -hls_segment_filename ${fx}/hls/seg%d.ts ${fx}/hls/index.m3u8
  VERBATIM)
# H.264, the codec libmpv tries hardware decoders for.
add_custom_command(OUTPUT ${fx}/clip-h264.ts
  COMMAND ${ffmpeg} -f lavfi -i testsrc=size=160x120:rate=10:duration=2 -c:v libx264 -preset ultrafast
          ${fx}/clip-h264.ts
  VERBATIM)
add_custom_target(engine_fixtures
  DEPENDS ${fx}/clip2.mp4 ${fx}/clip5.mp4 ${fx}/stream.mp3 ${fx}/red.mp4 ${fx}/hls/index.m3u8
          ${fx}/clip-h264.ts)

lumi_add_test(playlistparser SOURCES ${CMAKE_SOURCE_DIR}/tests/playlistparser_test.cpp TIMEOUT 30)
# The resolver fetches on network workers: a ThreadSanitizer case.
lumi_add_test(streamresolver SOURCES ${CMAKE_SOURCE_DIR}/tests/streamresolver_test.cpp TIMEOUT 120 LABELS threads)
# libavformat's probing of a large text body runs for minutes under ASan's
# strict string checks (every strstr scans the whole buffer); leaks and bad
# accesses are still caught without them.
lumi_add_test(mpvengine SOURCES ${CMAKE_SOURCE_DIR}/tests/mpvengine_test.cpp TIMEOUT 300
  ENV "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=0")
add_dependencies(mpvengine engine_fixtures)
# Strict string checks also trip over libxkbcommon-x11's strndup while Qt
# connects to the X server, before any of our code runs.
lumi_add_test(hardwaredecoding SOURCES ${CMAKE_SOURCE_DIR}/tests/hardwaredecoding_test.cpp TIMEOUT 120
  ENV "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=0")
add_dependencies(hardwaredecoding engine_fixtures)
lumi_add_test(videooutput SOURCES ${CMAKE_SOURCE_DIR}/tests/videooutput_test.cpp DISPLAY TIMEOUT 120
  ENV "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=0")
add_dependencies(videooutput engine_fixtures)
lumi_add_test(deferredengine SOURCES ${CMAKE_SOURCE_DIR}/tests/deferredengine_test.cpp)
# HTTPS streams through the real engine and the resolver, with the test
# certificates served by the loopback TLS front.
lumi_add_test(streamcertificates SOURCES ${CMAKE_SOURCE_DIR}/tests/streamcertificates_test.cpp TIMEOUT 120
  ENV "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=0" LABELS threads)
add_dependencies(streamcertificates engine_fixtures)
# A radio stream with ICY song titles, through the real engine and the player.
lumi_add_test(icystream SOURCES ${CMAKE_SOURCE_DIR}/tests/icystream_test.cpp LIBS lumi_player TIMEOUT 90)
add_dependencies(icystream engine_fixtures)
