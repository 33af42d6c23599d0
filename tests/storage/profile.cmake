# The INI class over recording fakes, the real engine and the real file-system object.
ostrevan_add_test(test_storage_profile
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/InitFileFakes.cpp
        ${CMAKE_CURRENT_LIST_DIR}/SystemInitFileTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/SystemInitFileRealTest.cpp
    LIBRARIES ostrevan_test_disk ostrevan_storage_profile ostrevan_profile ostrevan_fs)
target_include_directories(test_storage_profile PRIVATE ${PROJECT_SOURCE_DIR})
