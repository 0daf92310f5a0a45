# The user's own channel list: whatever the file holds, every entry read is
# whole and the built-in catalogue it is applied to stays whole. The
# catalogue's text faces use QColor, hence Qt Gui (no windows are made).
find_package(Qt6 6.4 REQUIRED COMPONENTS Gui)
lumi_add_fuzzer(channel_list
  SOURCES fuzz/channel_list.cpp lists/M3uListReader.cpp lists/ListChannels.cpp lists/ChannelNameRules.cpp lists/ListAddress.cpp
          base/TextDecoding.cpp base/PlainText.cpp lists/BuiltInChannelMatcher.cpp lists/OwnChannelList.cpp
          channels/ChannelCatalogue.cpp channels/CatalogueData.cpp net/AddressRule.cpp base/Logging.cpp
  LIBS Qt6::Gui)
