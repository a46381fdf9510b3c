# The per-user settings store: the key tree in SQLite, the registry-ini layer,
# the composite readers and writers, and the root-key and folder helpers.
add_library(tarnwell_settings STATIC
  ${CMAKE_CURRENT_LIST_DIR}/TRegistry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TRegIniFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TMyIniFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SettingsRootKey.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Directories.cpp)
target_include_directories(tarnwell_settings PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tarnwell_settings PUBLIC SQLite::SQLite3 Qt6::Widgets)
