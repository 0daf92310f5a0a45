# XMLTV guides: whatever a publisher serves, plain or compressed, reading it
# is bounded, never fatal, and leaves a store whose schedules are sorted,
# within the window, and survive the cache file unchanged.
find_package(ZLIB REQUIRED)
find_package(LibLZMA REQUIRED)
set(guide_core_sources guide/XmlTvTime.cpp guide/GuideKeys.cpp guide/WantedChannels.cpp guide/StringPool.cpp
  guide/GuideStore.cpp guide/GuideStoreBuilder.cpp guide/XmlRepair.cpp guide/GuideInput.cpp guide/XmlTvReader.cpp
  guide/GuideCache.cpp lists/ChannelNameRules.cpp base/Logging.cpp)
lumi_add_fuzzer(guide_reader SOURCES fuzz/guide_reader.cpp ${guide_core_sources}
  LIBS ZLIB::ZLIB LibLZMA::LibLZMA)
