# Archiving every returned loan through the archiving window, and an archive search, on a large
# generated library, each beside raw SQLite doing the same.
add_executable(bench_archive ${CMAKE_CURRENT_LIST_DIR}/bench_archive.cpp)
target_link_libraries(bench_archive PRIVATE lendar_options lendar_bench_library lendar_app PkgConfig::SQLITE3)
target_compile_definitions(bench_archive PRIVATE LENDAR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
