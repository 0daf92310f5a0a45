# Network game: board rules, wire codec and socket texts (no display), the game
# window played by two windows over loopback, and against a hostile raw peer.
lumi_add_test(game_board SOURCES ${CMAKE_SOURCE_DIR}/tests/game_board_test.cpp LIBS game_core)
lumi_add_test(game_codec SOURCES ${CMAKE_SOURCE_DIR}/tests/game_codec_test.cpp LIBS game_core)
lumi_add_test(game_network_text SOURCES ${CMAKE_SOURCE_DIR}/tests/game_network_text_test.cpp LIBS game_core)
