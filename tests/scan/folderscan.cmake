# The folder scan's logic over a fake file system and a fake Revision Manager.
ostrevan_add_test(test_folderscan
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/FakeFolderTree.cpp
        ${CMAKE_CURRENT_LIST_DIR}/FakeRevisionManager.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ReadReferenceTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/RekursivFolderTest.cpp
    LIBRARIES ostrevan_scan ostrevan_test_fakes)
