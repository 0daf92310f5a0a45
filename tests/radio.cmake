# The community radio database: reading its answers, the client against a
# loopback stand-in (search, filters, server fallback, clicks), the cache, the
# search model and the built-in radios' matching (no display).
foreach(test stationreader radiobrowserclient stationcache radiosearchmodel builtinradiomatcher)
  lumi_add_test(${test} SOURCES ${CMAKE_SOURCE_DIR}/tests/${test}_test.cpp LIBS radio_core)
endforeach()
set_tests_properties(radiobrowserclient stationcache PROPERTIES LABELS threads)
# "Rádios" and the built-in radios in the program (fake engine, loopback stand-in).
lumi_add_test(radiowindow SOURCES ${CMAKE_SOURCE_DIR}/tests/radiowindow_test.cpp LIBS lumi_app)
