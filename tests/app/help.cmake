# The help window and the "&Hilfe" button of the real main window.
ostrevan_add_test(test_help
    GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/HelpWindowTest.cpp
    LIBRARIES ostrevan_app ostrevan_test_fakes Qt6::Test)
