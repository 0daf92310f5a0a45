lumi_add_test(tst_mainwindow SOURCES ${CMAKE_SOURCE_DIR}/tests/tst_mainwindow.cpp LIBS lumi_gui)
lumi_add_test(tst_playbackrules SOURCES ${CMAKE_SOURCE_DIR}/tests/tst_playbackrules.cpp LIBS playback_core)
