# Where the reference report goes on this platform.
add_library(ostrevan_report_folder STATIC ${CMAKE_CURRENT_LIST_DIR}/ReportFolder.cpp)
target_link_libraries(ostrevan_report_folder PUBLIC ostrevan_platform ostrevan_settings)
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/ReportFolder.cpp APPEND PROPERTY COMPILE_DEFINITIONS
    OSTREVAN_INSTALL_BINDIR="${CMAKE_INSTALL_FULL_BINDIR}")
