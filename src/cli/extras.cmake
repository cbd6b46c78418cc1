# The outputs beside the program: station table, machining report,
# controller profiles and the preview's input (Qt-free), and the preview
# picture itself (Qt Gui and Svg).
add_library(ventaro_extras STATIC
  ${CMAKE_CURRENT_LIST_DIR}/design_record.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fixed_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/station_csv.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program_moves.cpp
  ${CMAKE_CURRENT_LIST_DIR}/machining_report.cpp
  ${CMAKE_CURRENT_LIST_DIR}/controller_profile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/preview_input.cpp
)
target_link_libraries(ventaro_extras PUBLIC ventaro_gcode PRIVATE ventaro_numeric ventaro_warnings)
# The preview module links these into a shared object.
set_property(TARGET ventaro_core ventaro_gcode ventaro_extras PROPERTY POSITION_INDEPENDENT_CODE ON)

find_package(Qt6 REQUIRED COMPONENTS Gui Svg)
# The drawing, for the preview module and for the tests that draw in process.
add_library(ventaro_preview_draw STATIC ${CMAKE_CURRENT_LIST_DIR}/preview.cpp)
set_property(TARGET ventaro_preview_draw PROPERTY POSITION_INDEPENDENT_CODE ON)
target_link_libraries(ventaro_preview_draw PUBLIC ventaro_extras Qt6::Gui PRIVATE Qt6::Svg ventaro_warnings)

# The preview module: ventaro-gcode loads it from its own folder only when a
# preview is asked for (cli/preview_abi.h), so the command line itself is
# linked without Qt. Only its entry point is exported.
add_library(ventaro_preview MODULE ${CMAKE_CURRENT_LIST_DIR}/preview_module.cpp)
target_link_libraries(ventaro_preview PRIVATE ventaro_preview_draw ventaro_warnings)
set_target_properties(ventaro_preview PROPERTIES
  PREFIX ""
  OUTPUT_NAME ventaro-gcode-preview
  CXX_VISIBILITY_PRESET hidden
  VISIBILITY_INLINES_HIDDEN ON
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
)
target_link_options(ventaro_preview PRIVATE -Wl,--exclude-libs,ALL)
