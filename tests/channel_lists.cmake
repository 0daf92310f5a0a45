# The user's channel lists: reading M3U as found in the wild, matching the
# built-in channels, fetching against the loopback server, the registry,
# favourites and the channel model (no display).
foreach(test m3ulistreader builtinchannelmatcher channellistfetcher channellistregistry listchannelmodel)
  lumi_add_test(tst_${test} SOURCES ${CMAKE_SOURCE_DIR}/tests/tst_${test}.cpp LIBS channel_lists)
endforeach()
target_compile_definitions(tst_channellistregistry PRIVATE
  LUMI_SUGGESTED_COPY="${CMAKE_BINARY_DIR}/channels/lists/suggested-lists.tsv")
