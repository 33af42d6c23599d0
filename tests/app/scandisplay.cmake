# What the main window shows of a scan: status labels and rows shown together.
ostrevan_add_test(test_scan_display
    GUI
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/ScanDisplayTest.cpp
        ${PROJECT_SOURCE_DIR}/tests/scan/FakeFolderTree.cpp
        ${PROJECT_SOURCE_DIR}/tests/scan/FakeRevisionManager.cpp
    LIBRARIES ostrevan_app ostrevan_test_fakes Qt6::Test)
