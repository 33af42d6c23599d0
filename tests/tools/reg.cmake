# ostrevan-reg on temporary stores.
ostrevan_add_test(test_reg_command
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/RegCommandTest.cpp
    LIBRARIES ostrevan_test_disk ostrevan_reg_command)
target_include_directories(test_reg_command PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(test_reg_command PRIVATE
    OSTREVAN_REG_BINARY="$<TARGET_FILE:ostrevan-reg>")
add_dependencies(test_reg_command ostrevan-reg)
# ostrevan-reg import killed at random moments.
ostrevan_add_test(test_reg_import_kill
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/RegImportKillTest.cpp
    LIBRARIES ostrevan_test_disk ostrevan_registry SQLite::SQLite3
    LABELS slow
    ENVIRONMENT_MODIFICATION ${OSTREVAN_PROCESS_TEST_ENVIRONMENT})
target_include_directories(test_reg_import_kill PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(test_reg_import_kill PRIVATE
    OSTREVAN_REG_BINARY="$<TARGET_FILE:ostrevan-reg>")
add_dependencies(test_reg_import_kill ostrevan-reg)
