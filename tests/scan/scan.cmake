ostrevan_add_test(test_scan
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/clsSettingsTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/GetFileReferenzTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ReferenceFilterTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ScanDriverTest.cpp
    LIBRARIES ostrevan_scan ostrevan_test_fakes)
