# The user's channel lists: reading M3U as found in the wild, matching the
# built-in channels, fetching against the loopback server, the registry and
# the suggested lists, favourites and the channel model (no display).
foreach(test m3ulistreader builtinchannelmatcher channellistfetcher channellistregistry listchannelmodel logocache
    logodiskcache listchannels)
  lumi_add_test(${test} SOURCES ${CMAKE_SOURCE_DIR}/tests/${test}_test.cpp LIBS channel_lists)
endforeach()
target_compile_definitions(channellistregistry PRIVATE
  LUMI_SUGGESTED_COPY="${CMAKE_BINARY_DIR}/lists/lists/suggested-lists.tsv")
# Transfers run on a worker thread of their own: the ThreadSanitizer run covers them.
set_tests_properties(channellistfetcher logocache PROPERTIES LABELS threads)
