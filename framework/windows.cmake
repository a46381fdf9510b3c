# The window bases, the history box, the configuration windows and the help
# viewer. Included from framework/CMakeLists.txt after settings.cmake.
add_library(tarnwell_framework STATIC
  ${CMAKE_CURRENT_LIST_DIR}/TForm.h ${CMAKE_CURRENT_LIST_DIR}/TForm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LabelFit.h ${CMAKE_CURRENT_LIST_DIR}/LabelFit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UMyForm.h ${CMAKE_CURRENT_LIST_DIR}/UMyForm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UMyDialog.h ${CMAKE_CURRENT_LIST_DIR}/UMyDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UHelpViewer.h ${CMAKE_CURRENT_LIST_DIR}/UHelpViewer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UMyWizard.h ${CMAKE_CURRENT_LIST_DIR}/UMyWizard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UMyReport.h ${CMAKE_CURRENT_LIST_DIR}/UMyReport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MyComps.h ${CMAKE_CURRENT_LIST_DIR}/MyComps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ConfigNames.h ${CMAKE_CURRENT_LIST_DIR}/ConfigNames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/USaveConfig.h ${CMAKE_CURRENT_LIST_DIR}/USaveConfig.cpp
  ${CMAKE_CURRENT_LIST_DIR}/USaveConfig.ui
  ${CMAKE_CURRENT_LIST_DIR}/ULoadConfig.h ${CMAKE_CURRENT_LIST_DIR}/ULoadConfig.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ULoadConfig.ui)
set_target_properties(tarnwell_framework PROPERTIES AUTOMOC ON AUTOUIC ON)
# The generated ui_*.h headers are included by public headers, so users of
# the library need the generated include folder too.
target_include_directories(tarnwell_framework PUBLIC
  ${CMAKE_CURRENT_LIST_DIR}
  ${CMAKE_CURRENT_BINARY_DIR}/tarnwell_framework_autogen/include)
target_link_libraries(tarnwell_framework PUBLIC tarnwell_settings Qt6::Widgets)
