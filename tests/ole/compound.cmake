# Tests of the compound-file reader, with a hand-made writer, damaged copies and libgsf's
# reader as a second opinion.
add_library(ostrevan_test_compound STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CompoundTrees.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CompoundWriter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Mutants.cpp
)
target_link_libraries(ostrevan_test_compound PUBLIC ostrevan_settings ostrevan_ole GTest::gtest
    PkgConfig::GSF)

ostrevan_add_test(test_compound
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/CompoundDifferentialTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/CompoundFileTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/Vectors.cpp
    LIBRARIES ostrevan_test_compound ostrevan_test_disk ostrevan_test_fixtures
        ostrevan_test_vectors
)
