# Channels: the catalogue table (no display).
lumi_add_test(tst_channelcatalogue SOURCES ${CMAKE_SOURCE_DIR}/tests/tst_channelcatalogue.cpp LIBS channels_core)
