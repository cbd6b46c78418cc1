# The outputs beside the program: station table, machining report and
# controller profiles (Qt-free), and the preview picture (Qt Gui and Svg).
add_library(ventaro_extras STATIC
  ${CMAKE_CURRENT_LIST_DIR}/design_record.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fixed_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/station_csv.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program_moves.cpp
  ${CMAKE_CURRENT_LIST_DIR}/machining_report.cpp
  ${CMAKE_CURRENT_LIST_DIR}/controller_profile.cpp
)
target_link_libraries(ventaro_extras PUBLIC ventaro_gcode PRIVATE ventaro_numeric ventaro_warnings)

find_package(Qt6 REQUIRED COMPONENTS Gui Svg)
add_library(ventaro_preview STATIC ${CMAKE_CURRENT_LIST_DIR}/preview.cpp)
target_link_libraries(ventaro_preview PUBLIC ventaro_extras PRIVATE Qt6::Gui Qt6::Svg ventaro_warnings)
