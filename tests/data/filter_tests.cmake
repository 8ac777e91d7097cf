# Tests of filter expressions, local SQL and the quoting helper; part of lendar_data_tests.
target_sources(lendar_data_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/filter_fixture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/filter_shapes_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/filter_errors_test.cpp)
target_link_libraries(lendar_data_tests PRIVATE lendar_sys PkgConfig::SQLITE3)
