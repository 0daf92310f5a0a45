# The rule on addresses from outside: its table (no display).
lumi_add_test(addressrule SOURCES ${CMAKE_SOURCE_DIR}/tests/addressrule_test.cpp LIBS lumi_net)
# Hostile addresses through every road, on the real engine with null outputs.
lumi_add_test(hostile_addresses SOURCES ${CMAKE_SOURCE_DIR}/tests/hostile_addresses_test.cpp
  LIBS lumi_app Qt6::DBus SESSION_BUS TIMEOUT 240
  ENV "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=0")
add_dependencies(hostile_addresses engine_fixtures)
