# ASX and "[Reference]" playlists as servers send them: the parser reads any
# bytes, and what it would read as a playlist is never turned away by the
# look at the first bytes that decides whether to read on.
lumi_add_fuzzer(playlist_parser SOURCES fuzz/playlist_parser.cpp engine/PlaylistParser.cpp)
