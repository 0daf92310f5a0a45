# The game's wire codec: whatever a peer sends, the decoder holds at most a
# message start and agrees with itself however the stream is cut into reads.
lumi_add_fuzzer(game_codec SOURCES fuzz/game_codec.cpp game/GameCodec.cpp game/GameBoard.cpp)
