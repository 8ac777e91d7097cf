# Startel's start: from starting Startel to Lendar's shown main window on the large library, on
# Xvfb, beside Lendar started directly.
add_executable(bench_startel ${CMAKE_CURRENT_LIST_DIR}/bench_startel.cpp)
target_link_libraries(bench_startel PRIVATE lendar_options lendar_bench_library lendar_sys)
target_compile_definitions(bench_startel PRIVATE LENDAR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                                 LENDAR_PROGRAM_DIR="${LENDAR_PROGRAM_DIR}")
add_dependencies(bench_startel Startel Lendar file_list)
