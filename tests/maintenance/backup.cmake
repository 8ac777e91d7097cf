# Backup, restore and the folder picker, driven over a librarian's session; the backup set
# written and restored by processes killed at every step.
lendar_test(lendar_backup_tests
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/BackupSupport.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/BackupWindowTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/RestoreWindowTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/BackupCrashTest.cpp
  DEPS lendar_app_fixture)
