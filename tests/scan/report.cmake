# The reference report on real temporary folders, and where it goes.
ostrevan_add_test(test_report
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/ReportFixture.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ExportReferenceTest.cpp
    LIBRARIES ostrevan_test_disk ostrevan_scan ostrevan_fs ostrevan_report_folder ostrevan_test_fakes)
if(NOT WIN32)
    # Write-protected folders as an unprivileged user, a full disk, links.
    target_sources(test_report PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ExportReferencePosixTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ReportFolderTest.cpp)
endif()
