# Type descriptions through the registry class over the SQLite store.
add_executable(bench_registry ${CMAKE_CURRENT_LIST_DIR}/RegistryBench.cpp)
target_link_libraries(bench_registry PRIVATE ostrevan_settings ostrevan_storage_registry
    ostrevan_registry benchmark::benchmark)

# ostrevan-reg's export of 10,000 keys and of the deepest key.
add_executable(bench_reg_export ${CMAKE_CURRENT_LIST_DIR}/RegExportBench.cpp)
target_link_libraries(bench_reg_export PRIVATE ostrevan_settings ostrevan_reg_command
    ostrevan_registry benchmark::benchmark)
target_include_directories(bench_reg_export PRIVATE ${PROJECT_SOURCE_DIR})
