# Type descriptions through the registry class over the SQLite store.
add_executable(bench_registry ${CMAKE_CURRENT_LIST_DIR}/RegistryBench.cpp)
target_link_libraries(bench_registry PRIVATE ostrevan_settings ostrevan_storage_registry
    ostrevan_registry benchmark::benchmark)
