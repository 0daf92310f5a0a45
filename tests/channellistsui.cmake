# The channel lists in the program: the lists and channel windows, the notices,
# tuning list channels and any address (fake engine, lists from loopback).
# One channel, many sources: merged rows, "Fontes…", the kept choice, the check.
lumi_add_test(channelsources SOURCES ${CMAKE_SOURCE_DIR}/tests/channelsources_test.cpp LIBS lumi_app)
lumi_add_test(channellistsui SOURCES ${CMAKE_SOURCE_DIR}/tests/channellistsui_test.cpp LIBS lumi_app)
