# Where the reference report goes on this platform.
add_library(ostrevan_report_folder STATIC ${CMAKE_CURRENT_LIST_DIR}/ReportFolder.cpp)
target_link_libraries(ostrevan_report_folder PUBLIC ostrevan_platform ostrevan_settings)
