# What servers answer the background check of sources (HLS playlists to
# follow) and the file its results are kept in: read soundly, within bounds,
# and the results read back as written.
lumi_add_fuzzer(source_answers SOURCES fuzz/source_answers.cpp lists/SourceAnswers.cpp)
