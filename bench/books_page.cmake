# The books page's quick filter and sorting on a large generated library.
add_executable(bench_books_page ${CMAKE_CURRENT_LIST_DIR}/bench_books_page.cpp)
target_link_libraries(bench_books_page PRIVATE lendar_options lendar_bench_window lendar_app PkgConfig::SQLITE3)
