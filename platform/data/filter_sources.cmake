# Filter expressions, local SQL and the quoting helper; part of lendar_data.
target_sources(lendar_data PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/FilterLiteral.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FilterParser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FilterTranslate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Quote.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SqlSelect.cpp)
