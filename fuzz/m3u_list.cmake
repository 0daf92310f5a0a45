# Public channel lists: whatever a publisher serves, reading it is bounded,
# every entry read is whole and an address the rule admits for the list's
# origin, and matching the built-in channels stays sound.
# The catalogue's text faces use QColor, hence Qt Gui (no windows are made).
find_package(Qt6 6.4 REQUIRED COMPONENTS Gui)
lumi_add_fuzzer(m3u_list
  SOURCES fuzz/m3u_list.cpp lists/M3uListReader.cpp lists/ListChannels.cpp lists/ChannelNameRules.cpp lists/ListAddress.cpp base/TextDecoding.cpp base/PlainText.cpp
          lists/BuiltInChannelMatcher.cpp lists/OwnChannelList.cpp
          channels/ChannelCatalogue.cpp channels/CatalogueData.cpp net/AddressRule.cpp base/Logging.cpp
  LIBS Qt6::Gui)
