# The network layer: the transfer loop against the loopback server, plain and
# over TLS with the test certificates (its workers make it a ThreadSanitizer case).
lumi_add_test(transfer SOURCES ${CMAKE_SOURCE_DIR}/tests/transfer_test.cpp LIBS lumi_net LABELS threads)
# NetworkManager's word on a metered connection, from a stand-in on the test's own session bus.
lumi_add_test(meterednetwork SOURCES ${CMAKE_SOURCE_DIR}/tests/meterednetwork_test.cpp LIBS lumi_net SESSION_BUS)
# The rule on addresses from outside: its table (no display).
lumi_add_test(addressrule SOURCES ${CMAKE_SOURCE_DIR}/tests/addressrule_test.cpp LIBS lumi_net)
# Hostile addresses through every road, on the real engine with null outputs.
lumi_add_test(hostile_addresses SOURCES ${CMAKE_SOURCE_DIR}/tests/hostile_addresses_test.cpp
  LIBS lumi_app Qt6::DBus SESSION_BUS TIMEOUT 240
  ENV "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=0")
add_dependencies(hostile_addresses engine_fixtures)
