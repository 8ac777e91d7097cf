# The extended book filter: applying it and showing its window on a large generated library.
add_executable(bench_book_filter ${CMAKE_CURRENT_LIST_DIR}/bench_book_filter.cpp)
target_link_libraries(bench_book_filter PRIVATE lendar_options lendar_bench_window lendar_app PkgConfig::SQLITE3)
