# The playlist store: whatever a store file holds, it loads, reads and takes
# a new entry, and what it writes reads back as it was held.
lumi_add_fuzzer(playlist_store SOURCES fuzz/playlist_store.cpp playlist/PlaylistStore.cpp base/TextDecoding.cpp base/BoundedRead.cpp)
