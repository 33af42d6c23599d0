ostrevan_add_test(test_real
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/RealDocumentsTest.cpp
    LIBRARIES ostrevan_test_disk ostrevan_test_vectors ostrevan_links_command ostrevan_ole
    LABELS real
)
# Read in place, never copied into the repository. Each document within a second; the
# sanitizers' debug build reads about ten times slower.
if(OSTREVAN_SANITIZE)
    set(seconds_per_document 10)
else()
    set(seconds_per_document 1)
endif()
target_compile_definitions(test_real PRIVATE
    OSTREVAN_REAL_DOCUMENTS="${OSTREVAN_REAL_DOCUMENTS_DIR}"
    OSTREVAN_SECONDS_PER_DOCUMENT=${seconds_per_document})

if(NOT TARGET ostrevan_app)
    return()
endif()
ostrevan_add_test(test_real_folder_scan
    GUI
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/RealFolderScanTest.cpp
    LIBRARIES ostrevan_test_disk ostrevan_app ostrevan_fs ostrevan_registry ostrevan_ole
        ostrevan_test_fakes Qt6::Test
    LABELS real
)
target_compile_definitions(test_real_folder_scan PRIVATE
    OSTREVAN_REAL_DOCUMENTS="${OSTREVAN_REAL_DOCUMENTS_DIR}")
