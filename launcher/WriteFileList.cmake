# Writes PROGRAM_DIR/FileList.txt from the files laid out in PROGRAM_DIR (see FileList.cmake).
#   cmake -DPROGRAM_DIR=<folder> -P WriteFileList.cmake
if(NOT IS_DIRECTORY "${PROGRAM_DIR}")
  message(FATAL_ERROR "No program folder ${PROGRAM_DIR}")
endif()

# Directly in the folder: everything but the list itself, hidden files and the side files the
# database engine keeps next to a table while it is open.
file(GLOB top LIST_DIRECTORIES false RELATIVE "${PROGRAM_DIR}" "${PROGRAM_DIR}/*")
list(FILTER top EXCLUDE REGEX "^FileList\\.txt$|^\\.|-(journal|wal|shm)$")
set(names ${top})
foreach(sub Empty Data/Help Data/Icon)
  if(IS_DIRECTORY "${PROGRAM_DIR}/${sub}")
    file(GLOB_RECURSE below LIST_DIRECTORIES false RELATIVE "${PROGRAM_DIR}" "${PROGRAM_DIR}/${sub}/*")
    list(FILTER below EXCLUDE REGEX "(^|/)\\.|-(journal|wal|shm)$")
    list(APPEND names ${below})
  endif()
endforeach()
list(SORT names)

set(content "")
foreach(name IN LISTS names)
  string(APPEND content "/${name}\n")
endforeach()
set(list "${PROGRAM_DIR}/FileList.txt")
file(WRITE "${list}.new" "${content}")
file(COPY_FILE "${list}.new" "${list}" ONLY_IF_DIFFERENT)
file(REMOVE "${list}.new")
