# Desktop integration: what the media controls show, and the controls on a private session bus.
lumi_add_test(now_playing SOURCES ${CMAKE_SOURCE_DIR}/tests/now_playing_test.cpp LIBS desktop_core)
lumi_add_test(media_controls SOURCES ${CMAKE_SOURCE_DIR}/tests/media_controls_test.cpp LIBS lumi_app Qt6::DBus
  SESSION_BUS)
lumi_add_test(openable_media SOURCES ${CMAKE_SOURCE_DIR}/tests/openable_media_test.cpp LIBS desktop_core)
