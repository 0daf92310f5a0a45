# The guide cache file: a corrupt or hostile cache is refused whole or loads a
# store that answers every question within bounds and writes back as it read.
find_package(ZLIB REQUIRED)
find_package(LibLZMA REQUIRED)
lumi_add_fuzzer(guide_cache SOURCES fuzz/guide_cache.cpp guide/GuideKeys.cpp guide/WantedChannels.cpp
  guide/StringPool.cpp guide/GuideStore.cpp guide/GuideCache.cpp lists/ChannelNameRules.cpp
  LIBS ZLIB::ZLIB)
