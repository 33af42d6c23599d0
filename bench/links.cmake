add_executable(bench_links ${CMAKE_CURRENT_LIST_DIR}/LinksBench.cpp)
target_link_libraries(bench_links PRIVATE ostrevan_settings ostrevan_ole ostrevan_test_fixtures ostrevan_test_compound
    benchmark::benchmark)
