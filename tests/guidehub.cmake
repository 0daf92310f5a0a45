# The guide in the program: its window, the banner over the video, "Canais"
# (fake engine, a local guide and list; times pinned to one zone).
lumi_add_test(guidehub SOURCES ${CMAKE_SOURCE_DIR}/tests/guidehub_test.cpp LIBS lumi_app
  ENV TZ=America/Sao_Paulo)
