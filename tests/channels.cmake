# Channels: the catalogue table (no display) and the compiled-in logos.
lumi_add_test(tst_channelcatalogue SOURCES ${CMAKE_SOURCE_DIR}/tests/tst_channelcatalogue.cpp LIBS channels_core)
lumi_add_test(tst_channellogos SOURCES ${CMAKE_SOURCE_DIR}/tests/tst_channellogos.cpp
  LIBS channels_core lumi_resources Qt6::Gui)
