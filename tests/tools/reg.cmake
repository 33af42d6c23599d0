# ostrevan-reg on temporary stores.
ostrevan_add_test(test_reg_command
    SOURCES
        ${PROJECT_SOURCE_DIR}/tests/posix/TempFolder.cpp
        ${CMAKE_CURRENT_LIST_DIR}/RegCommandTest.cpp
    LIBRARIES ostrevan_reg_command)
target_include_directories(test_reg_command PRIVATE ${PROJECT_SOURCE_DIR})
