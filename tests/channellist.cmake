# The user's own channel list: reading M3U files (no display), applying them
# to the catalogue at start-up, and the program built on the result.
lumi_add_test(channellistfile SOURCES ${CMAKE_SOURCE_DIR}/tests/channellistfile_test.cpp LIBS channels_core)
lumi_add_test(ownchannellist SOURCES ${CMAKE_SOURCE_DIR}/tests/ownchannellist_test.cpp LIBS channels_core)
lumi_add_test(ownchannellist_program SOURCES ${CMAKE_SOURCE_DIR}/tests/ownchannellist_program_test.cpp LIBS lumi_app)
