# The user's own channel list: reading M3U files (no display), applying them
# to the catalogue at start-up, and the program built on the result.
lumi_add_test(tst_channellistfile SOURCES ${CMAKE_SOURCE_DIR}/tests/tst_channellistfile.cpp LIBS channels_core)
lumi_add_test(tst_ownchannellist SOURCES ${CMAKE_SOURCE_DIR}/tests/tst_ownchannellist.cpp LIBS channels_core)
lumi_add_test(tst_ownchannellist_program SOURCES ${CMAKE_SOURCE_DIR}/tests/tst_ownchannellist_program.cpp LIBS lumi_gui)
