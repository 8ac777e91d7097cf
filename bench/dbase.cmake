# dBase reading benchmark: the dataset against shapelib's reader on the same ogr2ogr-made file.
find_library(SHAPELIB_LIBRARY NAMES shp REQUIRED)
find_path(SHAPELIB_INCLUDE_DIR shapefil.h REQUIRED)
add_library(bench_dbase_shapelib STATIC ${CMAKE_CURRENT_LIST_DIR}/bench_dbase_shapelib.c)
target_include_directories(bench_dbase_shapelib PRIVATE ${SHAPELIB_INCLUDE_DIR})
target_link_libraries(bench_dbase_shapelib PUBLIC ${SHAPELIB_LIBRARY})
add_executable(bench_dbase ${CMAKE_CURRENT_LIST_DIR}/bench_dbase.cpp)
target_link_libraries(bench_dbase PRIVATE lendar_options lendar_dbase bench_dbase_shapelib)
target_compile_definitions(bench_dbase PRIVATE LENDAR_BENCH_DATA_DIR="${CMAKE_BINARY_DIR}/bench-data")
