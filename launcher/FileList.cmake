# FileList.txt: every file the installation ships, one per line as "/" + the name relative to the
# program folder. It is written after everything has been laid out, from what is actually there:
# the executables and table files directly in the folder, and all files below Empty, Data/Help and
# Data/Icon.
set(lendar_file_list_script ${CMAKE_CURRENT_SOURCE_DIR}/WriteFileList.cmake)
add_custom_target(file_list ALL
  COMMAND ${CMAKE_COMMAND} -DPROGRAM_DIR=${LENDAR_PROGRAM_DIR} -P ${lendar_file_list_script}
  COMMENT "Writing ${LENDAR_PROGRAM_DIR}/FileList.txt"
  VERBATIM)

# The list comes last: it waits for the program folder's layout and for every target that puts
# its output into the program folder, wherever it is defined.
function(lendar_file_list_targets dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    lendar_file_list_targets(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(lendar_file_list_dependencies)
  lendar_file_list_targets(${PROJECT_SOURCE_DIR} targets)
  foreach(target IN LISTS targets)
    if(target STREQUAL "file_list")
      continue()
    endif()
    get_target_property(type ${target} TYPE)
    if(target STREQUAL "program_folder")
      add_dependencies(file_list ${target})
    elseif(type STREQUAL "EXECUTABLE")
      get_target_property(output ${target} RUNTIME_OUTPUT_DIRECTORY)
      if(output STREQUAL LENDAR_PROGRAM_DIR)
        add_dependencies(file_list ${target})
      endif()
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL lendar_file_list_dependencies)
