# The keyword text of a book, without any window.
lendar_test(lendar_keyword_text_tests SOURCES KeywordTextTest.cpp DEPS lendar_keyword_text)

# The book dialog, the keyword list and the discard dialog, driven over a librarian's session.
lendar_test(lendar_book_dialog_tests
  SOURCES
    BookDialogFixture.cpp
    BookDialogTest.cpp
    BookDialogInputTest.cpp
    KeywordListTest.cpp
    DiscardDialogTest.cpp
  DEPS lendar_app_fixture lendar_catalogue)
