# The reference report on real temporary folders, and where it goes.
ostrevan_add_test(test_report
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/ReportFixture.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ExportReferenceTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ReportFolderTest.cpp
    LIBRARIES ostrevan_test_disk ostrevan_scan ostrevan_fs ostrevan_report_folder ostrevan_test_fakes)
