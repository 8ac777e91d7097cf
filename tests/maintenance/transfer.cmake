# The CSV export and the dBase import, driven over a librarian's session; files are read back and
# made by independent peers (python3's csv module, python3-dbf, ogr2ogr).
lendar_test(lendar_transfer_tests
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/TransferSupport.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ExportTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ImportTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/NewNumbersTest.cpp
  DEPS lendar_app_fixture lendar_dbase)
