# The selection page of the real main window, the folder browser and the Qt dialogs behind
# their seams.
ostrevan_add_test(test_selection
    GUI
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/SelectionPageTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/TypingTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/BrowseFolderTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/QtChooserTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/SelectionWindow.cpp
    LIBRARIES ostrevan_test_disk ostrevan_app ostrevan_fs ostrevan_test_fakes Qt6::Test)
