# Widget-free helpers of every layer: decoding text files (no display) and
# showing outside text literally (checked against what Qt would render).
lumi_add_test(textdecoding SOURCES ${CMAKE_SOURCE_DIR}/tests/textdecoding_test.cpp LIBS lumi_base)
lumi_add_test(boundedread SOURCES ${CMAKE_SOURCE_DIR}/tests/boundedread_test.cpp LIBS lumi_base)
lumi_add_test(plaintext SOURCES ${CMAKE_SOURCE_DIR}/tests/plaintext_test.cpp LIBS lumi_base Qt6::Widgets)
