# A folder scan through the real main window over real compound documents on disk.
ostrevan_add_test(test_endtoend
    GUI
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/EndToEndTest.cpp
    LIBRARIES ostrevan_test_disk ostrevan_app ostrevan_fs ostrevan_registry ostrevan_ole ostrevan_test_fixtures ostrevan_test_fakes
        Qt6::Test)
