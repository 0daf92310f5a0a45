# ASX, "[Reference]", PLS and M3U playlists as servers send them: the parser
# reads any bytes, what it would read as a playlist is never turned away by
# the look at the first bytes that decides whether to read on, and the
# address rule takes each entry.
lumi_add_fuzzer(playlist_parser
  SOURCES fuzz/playlist_parser.cpp engine/PlaylistParser.cpp net/AddressRule.cpp base/Logging.cpp)
