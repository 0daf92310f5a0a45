# The channel lists in the program: the lists and channel windows, the notices,
# tuning list channels and any address (fake engine, lists from loopback).
lumi_add_test(channellistsui SOURCES ${CMAKE_SOURCE_DIR}/tests/channellistsui_test.cpp LIBS lumi_app)
