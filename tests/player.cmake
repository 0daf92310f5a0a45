# The player without widgets: its models driven on the fake engine, no window.
lumi_add_test(player SOURCES ${CMAKE_SOURCE_DIR}/tests/player_test.cpp LIBS lumi_player)
# Switching a failing channel to its next source without asking.
lumi_add_test(sourcefailover SOURCES ${CMAKE_SOURCE_DIR}/tests/sourcefailover_test.cpp LIBS lumi_player)
