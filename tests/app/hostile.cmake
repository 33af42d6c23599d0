# The real main window over a tree of hostile names, links and files.
ostrevan_add_test(test_hostile_tree
    GUI
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/HostileTreeTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PlainTextTest.cpp
        ${PROJECT_SOURCE_DIR}/tests/scan/ReportFixture.cpp
    LIBRARIES ostrevan_test_disk ostrevan_app ostrevan_fs ostrevan_registry ostrevan_ole
        ostrevan_test_fixtures ostrevan_test_fakes Qt6::Test)
