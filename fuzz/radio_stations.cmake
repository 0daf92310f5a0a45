# The radio database's answers: whatever a server (or a spoofed one) sends,
# every station read has a key, a name and an address the rule admits from
# the network, texts are bounded, writing and reading back keeps the
# stations, and the built-in radios' matching stays sound over them.
find_package(Qt6 6.4 REQUIRED COMPONENTS Gui)
lumi_add_fuzzer(radio_stations
  SOURCES fuzz/radio_stations.cpp radio/StationReader.cpp radio/RadioStation.cpp radio/StationQuery.cpp
          radio/BuiltInRadioMatcher.cpp lists/ChannelNameRules.cpp channels/ChannelCatalogue.cpp
          channels/CatalogueData.cpp net/AddressRule.cpp base/Logging.cpp base/PlainText.cpp
  LIBS Qt6::Gui)
