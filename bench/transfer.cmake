# The CSV export and the dBase import through their windows on a large generated library.
add_executable(bench_transfer ${CMAKE_CURRENT_LIST_DIR}/bench_transfer.cpp)
target_link_libraries(bench_transfer PRIVATE lendar_options lendar_bench_window lendar_app lendar_dbase PkgConfig::SQLITE3)
