# Archiving every returned loan through the archiving window, and an archive search, on a large
# generated library, each beside raw SQLite doing the same.
add_executable(bench_archive ${CMAKE_CURRENT_LIST_DIR}/bench_archive.cpp)
target_link_libraries(bench_archive PRIVATE lendar_options lendar_bench_window lendar_app PkgConfig::SQLITE3)
