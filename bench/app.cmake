# The main program's start-up, lend and return on a large generated library.
add_executable(bench_app ${CMAKE_CURRENT_LIST_DIR}/bench_app.cpp)
target_link_libraries(bench_app PRIVATE lendar_options lendar_bench_window lendar_app PkgConfig::SQLITE3)
