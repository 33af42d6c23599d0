ostrevan_add_test(test_app
    GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/frmMainTest.cpp ${CMAKE_CURRENT_LIST_DIR}/ProgramEndTest.cpp
    LIBRARIES ostrevan_app ostrevan_test_fakes Qt6::Test)
