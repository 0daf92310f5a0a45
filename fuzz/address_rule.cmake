# The rule on addresses from outside: whatever the text, what it admits from a
# network source is a network stream with a host, what it admits from the
# user is that or a local path, and admitting twice changes nothing.
lumi_add_fuzzer(address_rule SOURCES fuzz/address_rule.cpp net/AddressRule.cpp base/Logging.cpp)
