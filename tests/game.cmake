# Network game: board rules, wire codec and socket texts (no display), the game
# window played by two windows over loopback, and against a hostile raw peer.
lumi_add_test(game_board SOURCES ${CMAKE_SOURCE_DIR}/tests/game_board_test.cpp LIBS game_core)
lumi_add_test(game_codec SOURCES ${CMAKE_SOURCE_DIR}/tests/game_codec_test.cpp LIBS game_core)
lumi_add_test(game_network_text SOURCES ${CMAKE_SOURCE_DIR}/tests/game_network_text_test.cpp LIBS game_core)
lumi_add_test(game_window SOURCES ${CMAKE_SOURCE_DIR}/tests/game_window_test.cpp LIBS lumi_app)
lumi_add_test(game_hostile_peer SOURCES ${CMAKE_SOURCE_DIR}/tests/game_hostile_peer_test.cpp LIBS lumi_app)
