ostrevan_add_test(test_fs
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/TextStreamTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ReplacementFileTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PosixFileSystemTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/CachedFileTypesTest.cpp
    LIBRARIES ostrevan_test_disk ostrevan_fs)
