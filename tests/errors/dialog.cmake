# The mail URL builder and the two handlers over fakes, the version read from a real store in
# a temporary folder; the real dialog and the desktop hand-off on the offscreen platform.
ostrevan_add_test(test_error_report
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ErrorReportMailTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/FakeRegistryFunctions.cpp
    LIBRARIES ostrevan_test_disk ostrevan_errors ostrevan_registry ostrevan_test_fakes)
if(NOT WIN32)
    target_sources(test_error_report PRIVATE ${CMAKE_CURRENT_LIST_DIR}/VersionFromStoreTest.cpp)
endif()

if(OSTREVAN_GUI)
    ostrevan_add_test(test_error_dialog
        GUI
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/frmErrorMessageTest.cpp
                ${CMAKE_CURRENT_LIST_DIR}/QtShellUrlTest.cpp
                ${CMAKE_CURRENT_LIST_DIR}/FakeRegistryFunctions.cpp
        LIBRARIES ostrevan_error_dialog ostrevan_test_fakes Qt6::Test)
    set_target_properties(test_error_dialog PROPERTIES AUTOMOC ON)
endif()
