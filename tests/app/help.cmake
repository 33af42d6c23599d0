# The help window and the "&Hilfe" button of the real main window.
ostrevan_add_test(test_help
    GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/HelpWindowTest.cpp
    LIBRARIES ostrevan_app ostrevan_test_fakes Qt6::Test)

# The three windows measured with the design's font.
ostrevan_add_test(test_design_font
    GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/DesignFontTest.cpp
            ${PROJECT_SOURCE_DIR}/tests/errors/FakeRegistryFunctions.cpp
    LIBRARIES ostrevan_app ostrevan_error_dialog ostrevan_test_fakes)
