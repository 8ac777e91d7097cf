# Start-up password prompt, password settings and the password hash; included into lendar_app.
target_sources(lendar_app PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Nastaveni.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ZadaniHesla.cpp
  ${CMAKE_CURRENT_LIST_DIR}/password/PasswordHash.cpp)
target_link_libraries(lendar_app PUBLIC PkgConfig::SODIUM)
