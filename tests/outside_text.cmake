# Names from lists, servers and addresses shown literally and bounded wherever
# the program shows them (fake engine, media controls on a private session bus).
lumi_add_test(outside_text SOURCES ${CMAKE_SOURCE_DIR}/tests/outside_text_test.cpp LIBS lumi_app Qt6::DBus
  SESSION_BUS)
