# ostrevan-scan: options, formats, the console stand-ins, the command on trees on disk, the
# program as a process, and the command against the window on the same trees.
find_path(CSV_INCLUDE_DIR csv.h REQUIRED)
find_library(CSV_LIBRARY csv REQUIRED)

add_library(ostrevan_test_scan_tree STATIC ${CMAKE_CURRENT_LIST_DIR}/ScanTree.cpp)
target_include_directories(ostrevan_test_scan_tree PUBLIC ${CSV_INCLUDE_DIR})
target_link_libraries(ostrevan_test_scan_tree PUBLIC ostrevan_test_disk ostrevan_scan_command
    ostrevan_fs ostrevan_test_fixtures ${CSV_LIBRARY} Qt6::Core GTest::gtest
    PRIVATE ostrevan_settings)

ostrevan_add_test(test_scan_tool
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/ScanCommandTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ScanHostileTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ScanPartsTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ScanProgramTest.cpp
    LIBRARIES ostrevan_test_scan_tree
)
target_compile_definitions(test_scan_tool PRIVATE
    OSTREVAN_SCAN_TOOL="$<TARGET_FILE:ostrevan-scan>")
add_dependencies(test_scan_tool ostrevan-scan)

ostrevan_add_test(test_scan_window
    GUI
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/ScanWindowTest.cpp
    LIBRARIES ostrevan_test_scan_tree ostrevan_app ostrevan_registry ostrevan_test_fakes Qt6::Test
)
target_compile_definitions(test_scan_window PRIVATE
    OSTREVAN_REAL_DOCUMENTS="${OSTREVAN_REAL_DOCUMENTS_DIR}")
