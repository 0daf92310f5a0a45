# Channels: the catalogue table (no display) and the compiled-in logos.
lumi_add_test(channelcatalogue SOURCES ${CMAKE_SOURCE_DIR}/tests/channelcatalogue_test.cpp LIBS channels_core)
lumi_add_test(channellogos SOURCES ${CMAKE_SOURCE_DIR}/tests/channellogos_test.cpp
  LIBS channels_core lumi_resources Qt6::Gui)
