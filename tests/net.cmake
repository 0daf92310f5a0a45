# The network layer: the transfer loop against the loopback server, plain and
# over TLS with the test certificates (its workers make it a ThreadSanitizer case).
lumi_add_test(transfer SOURCES ${CMAKE_SOURCE_DIR}/tests/transfer_test.cpp LIBS lumi_net LABELS threads)
