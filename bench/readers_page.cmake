# The readers page's quick filter and the school-year roll-over on a large generated library.
add_executable(bench_readers_page ${CMAKE_CURRENT_LIST_DIR}/bench_readers_page.cpp)
target_link_libraries(bench_readers_page PRIVATE lendar_options lendar_bench_window lendar_app PkgConfig::SQLITE3)
