# The reader on the recorded vectors, wherever it is built.
ostrevan_add_test(test_ole_vectors
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/CompoundVectorsTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/MonikerVectorsTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/Vectors.cpp
    LIBRARIES ostrevan_ole ostrevan_test_vectors
)

# The reader and link resolution on documents the fixtures write.
if(NOT TARGET ostrevan_test_fixtures)
    return()
endif()
ostrevan_add_test(test_ole
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/FileInputTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/LinkObjectsTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/LinkReaderServersTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/LinkResolutionTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/OleStreamTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/Vectors.cpp
    LIBRARIES ostrevan_test_disk ostrevan_ole ostrevan_test_compound ostrevan_test_fixtures
        ostrevan_test_vectors
)
