# The loans overview, code lists and archive pages, and emptying every table, on a large library.
add_executable(bench_pages ${CMAKE_CURRENT_LIST_DIR}/bench_pages.cpp)
target_link_libraries(bench_pages PRIVATE lendar_options lendar_bench_window lendar_app PkgConfig::SQLITE3)
