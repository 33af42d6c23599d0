# The registry store on temporary files: the recorded cases, seeding, sharing between two
# processes, read-only and unusable stores.
ostrevan_add_test(test_registry_store
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/RegistryVectorTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/RegistryStoreTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/RegistryWindowsTest.cpp
    LIBRARIES ostrevan_test_vectors ostrevan_registry)
target_include_directories(test_registry_store PRIVATE ${PROJECT_SOURCE_DIR})
# Writers in several processes at once.
ostrevan_add_test(test_registry_processes
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/RegistryProcessesTest.cpp
    LIBRARIES ostrevan_test_disk ostrevan_registry
    LABELS slow
    ENVIRONMENT_MODIFICATION ${OSTREVAN_PROCESS_TEST_ENVIRONMENT})
target_include_directories(test_registry_processes PRIVATE ${PROJECT_SOURCE_DIR})
