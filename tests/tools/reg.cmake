# ostrevan-reg on temporary stores.
ostrevan_add_test(test_reg_command
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/RegCommandTest.cpp
    LIBRARIES ostrevan_test_disk ostrevan_reg_command)
target_include_directories(test_reg_command PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(test_reg_command PRIVATE
    OSTREVAN_REG_BINARY="$<TARGET_FILE:ostrevan-reg>")
add_dependencies(test_reg_command ostrevan-reg)
