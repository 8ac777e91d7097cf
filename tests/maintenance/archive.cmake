# Archiving returned loans and searching the archive, driven over a librarian's session; runs of
# archiving killed at many points in forked processes.
lendar_test(lendar_archive_tests
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/ArchiveSupport.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ArchiveTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ArchiveCrashTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ArchiveSearchTest.cpp
    ${PROJECT_SOURCE_DIR}/tests/data/LibraryFolder.cpp
  DEPS lendar_app_fixture)
target_compile_definitions(lendar_archive_tests PRIVATE LENDAR_SOURCE_DIR_FALLBACK="${PROJECT_SOURCE_DIR}")
