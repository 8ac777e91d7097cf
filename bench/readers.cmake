# Adding a reader through the add-reader dialog on a large generated library.
add_executable(bench_readers ${CMAKE_CURRENT_LIST_DIR}/bench_readers.cpp)
target_link_libraries(bench_readers PRIVATE lendar_options lendar_bench_library lendar_app PkgConfig::SQLITE3)
target_compile_definitions(bench_readers PRIVATE LENDAR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
