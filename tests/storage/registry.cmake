# The registry class over a real temporary store, watched by a probe.
ostrevan_add_test(test_storage_registry
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/RegistryProbe.cpp
        ${CMAKE_CURRENT_LIST_DIR}/clsSysRegistryTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/clsSysRegistryIconTest.cpp
    LIBRARIES ostrevan_test_disk ostrevan_storage_registry ostrevan_registry)
target_include_directories(test_storage_registry PRIVATE ${PROJECT_SOURCE_DIR})
