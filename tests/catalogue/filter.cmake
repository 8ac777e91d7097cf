# The extended book filter's texts and saved filter files, without a window. The fuzz corpus of the
# saved filter files is replayed here.
lendar_library(lendar_filter_fuzz_replay
  SOURCES ${PROJECT_SOURCE_DIR}/fuzz/FilterFileFuzzEntry.cpp
  DEPS lendar_book_filter_text lendar_ui)
lendar_test(lendar_book_filter_text_tests SOURCES BookFilterTextTest.cpp DEPS lendar_filter_fuzz_replay)
target_compile_definitions(lendar_book_filter_text_tests
  PRIVATE LENDAR_FILTER_CORPUS_DIR="${PROJECT_SOURCE_DIR}/fuzz/flt_corpus")

# The extended filter window, its saved filters and the books page's filter commands.
lendar_test(lendar_book_filter_tests SOURCES BookFilterWindowTest.cpp DEPS lendar_app_fixture lendar_catalogue)
