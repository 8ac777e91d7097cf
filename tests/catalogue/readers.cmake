# The add-reader and edit-reader dialogs, driven over a librarian's session.
lendar_test(lendar_reader_dialog_tests
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/AddReaderTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/EditReaderTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ReaderDialogSupport.cpp
  DEPS lendar_app_fixture)
