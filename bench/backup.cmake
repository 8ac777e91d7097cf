# Backup and restore of the nine table files of a large generated library.
add_executable(bench_backup ${CMAKE_CURRENT_LIST_DIR}/bench_backup.cpp)
target_link_libraries(bench_backup PRIVATE lendar_options lendar_bench_library lendar_app)
target_compile_definitions(bench_backup PRIVATE LENDAR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
