# The "Export" button of the real main window over the real file system.
ostrevan_add_test(test_report_window
    GUI
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/ReportWindowTest.cpp
        ${PROJECT_SOURCE_DIR}/tests/scan/ReportFixture.cpp
    LIBRARIES ostrevan_test_disk ostrevan_app ostrevan_fs ostrevan_test_fakes Qt6::Test)
