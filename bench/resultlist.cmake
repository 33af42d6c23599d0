add_executable(bench_resultlist ${CMAKE_CURRENT_LIST_DIR}/ResultListBench.cpp)
set_target_properties(bench_resultlist PROPERTIES AUTOMOC ON)
target_link_libraries(bench_resultlist PRIVATE ostrevan_settings ostrevan_app ostrevan_test_fakes
    ostrevan_bench_gui_main)
