# The loans overview, code lists and archive pages, and emptying every table, on a large library.
add_executable(bench_pages ${CMAKE_CURRENT_LIST_DIR}/bench_pages.cpp)
target_link_libraries(bench_pages PRIVATE lendar_options lendar_bench_library lendar_app PkgConfig::SQLITE3)
target_compile_definitions(bench_pages PRIVATE LENDAR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
