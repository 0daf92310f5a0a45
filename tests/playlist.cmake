# Playlist: the store PlaylistStore and the text rules (no display), a store
# killed mid-write, the playlist window with a fake main window, the folder picker.
lumi_add_test(playlist_store SOURCES ${CMAKE_SOURCE_DIR}/tests/playlist_store_test.cpp LIBS playlist_core)
lumi_add_test(playlist_store_kill SOURCES ${CMAKE_SOURCE_DIR}/tests/playlist_store_kill_test.cpp
  LIBS playlist_core TIMEOUT 240)
lumi_add_test(playlist_rules SOURCES ${CMAKE_SOURCE_DIR}/tests/playlist_rules_test.cpp LIBS playlist_core)
lumi_add_test(playlist_window SOURCES ${CMAKE_SOURCE_DIR}/tests/playlist_window_test.cpp LIBS lumi_app)
lumi_add_test(folder_picker SOURCES ${CMAKE_SOURCE_DIR}/tests/folder_picker_test.cpp LIBS lumi_app)
