# The folder scan of a large tree: the real window, the logic with fake controls, a baseline.
add_executable(bench_folderscan ${CMAKE_CURRENT_LIST_DIR}/FolderScanBench.cpp)
target_link_libraries(bench_folderscan PRIVATE ostrevan_settings ostrevan_app ostrevan_fs
    ostrevan_registry ostrevan_ole ostrevan_test_fixtures ostrevan_test_fakes
    ostrevan_scan_command ostrevan_bench_gui_main)
