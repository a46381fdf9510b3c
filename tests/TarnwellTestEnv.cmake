# tarnwell_add_gtest(name SOURCES src... LIBS lib... [QT])
# A GoogleTest binary whose cases CTest runs one by one. With QT the binary
# gets a main that starts a headless QApplication; every test binary points
# XDG_CONFIG_HOME and XDG_DATA_HOME at a fresh temporary folder, so the
# real home is never touched.
include(GoogleTest)
function(tarnwell_add_gtest name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_QT)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} tarnwell_qt_test_main)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} tarnwell_test_main)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()
