# The user's channel list: whatever the file holds, reading it is bounded and
# the catalogue it is applied to stays whole. The catalogue's text faces use
# QColor, hence Qt Gui (no windows are made).
find_package(Qt6 6.4 REQUIRED COMPONENTS Gui)
lumi_add_fuzzer(channel_list
  SOURCES fuzz/channel_list.cpp channels/ChannelListFile.cpp channels/OwnChannelList.cpp
          channels/ChannelCatalogue.cpp channels/CatalogueData.cpp
  LIBS Qt6::Gui)
