# Tests of the start-up password prompt, the password settings and the password hash.
lendar_test(lendar_password_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/password_hash_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/password_prompt_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/password_settings_test.cpp
  DEPS lendar_app_fixture)
