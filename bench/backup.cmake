# Backup and restore of the nine table files of a large generated library.
add_executable(bench_backup ${CMAKE_CURRENT_LIST_DIR}/bench_backup.cpp)
target_link_libraries(bench_backup PRIVATE lendar_options lendar_bench_window lendar_app)
