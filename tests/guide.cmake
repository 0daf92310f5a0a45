# Programme guides: reading XMLTV as found in the wild (plain, gzip, xz, cut
# files), the store and its cache file, matching guide channels to channels,
# the guides kept, the grid model (no display) and the grid window.
find_package(ZLIB REQUIRED)
find_package(LibLZMA REQUIRED)
foreach(test xmltvreader guidecache guidematcher guidelibrary guidefetcher)
  lumi_add_test(${test} SOURCES ${CMAKE_SOURCE_DIR}/tests/${test}_test.cpp
    LIBS guide_core ZLIB::ZLIB LibLZMA::LibLZMA)
endforeach()
# Times are shown in local time: the grid's tests pin the zone.
lumi_add_test(guidegrid SOURCES ${CMAKE_SOURCE_DIR}/tests/guidegrid_test.cpp LIBS guide_core
  ENV TZ=America/Sao_Paulo)
lumi_add_test(guidewindow SOURCES ${CMAKE_SOURCE_DIR}/tests/guidewindow_test.cpp LIBS lumi_windows
  ENV TZ=America/Sao_Paulo)
# The library reads guides on a worker thread: the ThreadSanitizer run covers it.
set_tests_properties(guidelibrary guidefetcher PROPERTIES LABELS threads)
# Guides fetched from the loopback server, end to end through the program.
lumi_add_test(guidefeed SOURCES ${CMAKE_SOURCE_DIR}/tests/guidefeed_test.cpp LIBS lumi_app
  ZLIB::ZLIB LibLZMA::LibLZMA)
set_tests_properties(guidefeed PROPERTIES LABELS threads)
lumi_add_test(guidesources SOURCES ${CMAKE_SOURCE_DIR}/tests/guidesources_test.cpp LIBS lumi_app
  ZLIB::ZLIB LibLZMA::LibLZMA)
# Where the guide shows: what the rows, the banner and the media controls are told.
lumi_add_test(guideviews SOURCES ${CMAKE_SOURCE_DIR}/tests/guideviews_test.cpp
  LIBS guide_core ZLIB::ZLIB LibLZMA::LibLZMA ENV TZ=America/Sao_Paulo)
