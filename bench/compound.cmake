# Our compound-file reader against libgsf's.
add_executable(bench_compound ${CMAKE_CURRENT_LIST_DIR}/CompoundBench.cpp)
target_link_libraries(bench_compound PRIVATE ostrevan_settings ostrevan_ole ostrevan_test_compound
    ostrevan_test_fixtures benchmark::benchmark)
target_compile_definitions(bench_compound PRIVATE OSTREVAN_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
