ostrevan_add_test(test_errorhandler
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/MessageErrorTest.cpp
    LIBRARIES ostrevan_errorhandler)
