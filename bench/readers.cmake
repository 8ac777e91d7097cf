# Adding a reader through the add-reader dialog on a large generated library.
add_executable(bench_readers ${CMAKE_CURRENT_LIST_DIR}/bench_readers.cpp)
target_link_libraries(bench_readers PRIVATE lendar_options lendar_bench_window lendar_app PkgConfig::SQLITE3)
