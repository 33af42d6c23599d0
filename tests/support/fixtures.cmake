# Compound documents with link objects for tests and benchmarks.
add_library(ostrevan_test_fixtures STATIC ${CMAKE_CURRENT_LIST_DIR}/CompoundFixture.cpp)
target_link_libraries(ostrevan_test_fixtures PUBLIC ostrevan_ole PkgConfig::GSF)
target_link_libraries(ostrevan_test_fixtures PRIVATE ostrevan_settings)
