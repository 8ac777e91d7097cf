# Shared build settings, applied per target through the interface library lendar_options.
add_library(lendar_options INTERFACE)
target_compile_options(lendar_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
  -Woverloaded-virtual -Wformat=2 -Wimplicit-fallthrough)
if(LENDAR_SANITIZE)
  target_compile_options(lendar_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(lendar_options INTERFACE -fsanitize=address,undefined)
endif()

# lendar_library(NAME SOURCES ... [DEPS ...]) : one static library of a layer or subsystem.
function(lendar_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC lendar_options ${ARG_DEPS})
endfunction()

# lendar_test(NAME SOURCES ... DEPS ...) : one GoogleTest executable, its cases discovered by CTest.
function(lendar_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE lendar_options ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # The discovered tests run through `cmake -E env`, which sets all four variables (a list given
  # as the ENVIRONMENT property would reach the tests cut at its first separator).
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
    "${CMAKE_COMMAND};-E;env;QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LENDAR_PROGRAM_DIR=${LENDAR_PROGRAM_DIR};LENDAR_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()

# Libraries that must stay free of Qt: fail the configure step if one links it.
function(lendar_forbid_qt name)
  get_target_property(libs ${name} LINK_LIBRARIES)
  foreach(lib IN LISTS libs)
    if(lib MATCHES "Qt")
      message(FATAL_ERROR "${name} must not link Qt (found ${lib})")
    endif()
  endforeach()
endfunction()
