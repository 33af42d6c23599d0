add_library(ostrevan_test_fakes INTERFACE)
target_include_directories(ostrevan_test_fakes INTERFACE ${PROJECT_SOURCE_DIR})
target_link_libraries(ostrevan_test_fakes INTERFACE ostrevan_platform ostrevan_scan)

# main() of the GUI tests: a QApplication on the offscreen platform, then the tests.
add_library(ostrevan_test_gui_main STATIC ${CMAKE_CURRENT_LIST_DIR}/GuiTestMain.cpp)
target_link_libraries(ostrevan_test_gui_main PUBLIC ostrevan_settings GTest::gtest ostrevan_qt)

# Temporary trees on disk, checks run as an unprivileged user, a file-type registry from a map,
# a full disk.
add_library(ostrevan_test_disk STATIC
    ${CMAKE_CURRENT_LIST_DIR}/FakeFileTypes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileSizeLimit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TempFolder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Unprivileged.cpp
)
target_include_directories(ostrevan_test_disk PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(ostrevan_test_disk PUBLIC ostrevan_platform ostrevan_settings GTest::gtest)
