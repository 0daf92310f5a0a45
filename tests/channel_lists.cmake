# The user's channel lists: reading M3U as found in the wild and matching the
# built-in channels (no display).
foreach(test m3ulistreader builtinchannelmatcher)
  lumi_add_test(tst_${test} SOURCES ${CMAKE_SOURCE_DIR}/tests/tst_${test}.cpp LIBS channel_lists)
endforeach()
