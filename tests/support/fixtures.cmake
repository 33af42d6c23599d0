# Compound documents with link objects for tests and benchmarks.
add_library(ostrevan_test_fixtures STATIC ${CMAKE_CURRENT_LIST_DIR}/CompoundFixture.cpp)
target_link_libraries(ostrevan_test_fixtures PUBLIC ostrevan_ole PkgConfig::GSF)
target_link_libraries(ostrevan_test_fixtures PRIVATE ostrevan_settings)

# Writes the fuzz seeds shaped like real Solid Edge documents (run by hand; fuzz/corpus).
add_executable(make-fuzz-seeds ${CMAKE_CURRENT_LIST_DIR}/MakeFuzzSeeds.cpp)
target_link_libraries(make-fuzz-seeds PRIVATE ostrevan_test_fixtures ostrevan_settings)
