# The books page's quick filter and sorting on a large generated library.
add_executable(bench_books_page ${CMAKE_CURRENT_LIST_DIR}/bench_books_page.cpp)
target_link_libraries(bench_books_page PRIVATE lendar_options lendar_bench_library lendar_app PkgConfig::SQLITE3)
target_compile_definitions(bench_books_page PRIVATE LENDAR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
