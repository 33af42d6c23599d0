add_library(ostrevan_test_fakes INTERFACE)
target_include_directories(ostrevan_test_fakes INTERFACE ${PROJECT_SOURCE_DIR})
target_link_libraries(ostrevan_test_fakes INTERFACE ostrevan_platform ostrevan_scan)

if(OSTREVAN_GUI)
    # main() of the GUI tests: a QApplication on the offscreen platform, then the tests.
    add_library(ostrevan_test_gui_main STATIC ${CMAKE_CURRENT_LIST_DIR}/GuiTestMain.cpp)
    target_link_libraries(ostrevan_test_gui_main PUBLIC ostrevan_settings GTest::gtest
        ostrevan_qt)
endif()

# Temporary trees on disk, environment variables, checks run as an unprivileged user, a
# file-type registry from a map, a full disk.
add_library(ostrevan_test_disk STATIC
    ${CMAKE_CURRENT_LIST_DIR}/Environment.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FakeFileTypes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TempFolder.cpp
)
if(WIN32)
    target_sources(ostrevan_test_disk PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Win32Environment.cpp)
else()
    target_sources(ostrevan_test_disk PRIVATE ${CMAKE_CURRENT_LIST_DIR}/FileSizeLimit.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PosixEnvironment.cpp ${CMAKE_CURRENT_LIST_DIR}/Unprivileged.cpp)
endif()
target_include_directories(ostrevan_test_disk PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(ostrevan_test_disk PUBLIC ostrevan_platform ostrevan_settings GTest::gtest)

# The recorded Win32 vectors and the players that run them on a backend.
add_library(ostrevan_test_vectors STATIC
    ${CMAKE_CURRENT_LIST_DIR}/Json.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProfileVectors.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegistryVectors.cpp
)
target_link_libraries(ostrevan_test_vectors PUBLIC ostrevan_test_disk)
target_compile_definitions(ostrevan_test_vectors PRIVATE
    OSTREVAN_TEST_DATA="${OSTREVAN_TEST_DATA_DIR}")
