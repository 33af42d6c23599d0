# One place for the settings every target shares.
add_library(ostrevan_settings INTERFACE)
target_compile_features(ostrevan_settings INTERFACE cxx_std_20)
target_compile_options(ostrevan_settings INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(ostrevan_settings INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CONTEXTLESS_CONNECT QT_NO_KEYWORDS)
if(OSTREVAN_WERROR)
    target_compile_options(ostrevan_settings INTERFACE -Werror)
endif()
if(OSTREVAN_SANITIZE)
    target_compile_options(ostrevan_settings INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(ostrevan_settings INTERFACE -fsanitize=address,undefined)
endif()

# A GoogleTest executable whose tests ctest lists one by one. GUI tests get a main that
# creates the QApplication first.
function(ostrevan_add_test name)
    cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBRARIES;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    if(ARG_GUI)
        set(test_main ostrevan_test_gui_main)
    else()
        set(test_main GTest::gtest_main)
    endif()
    target_link_libraries(${name} PRIVATE ostrevan_settings GTest::gmock ${test_main}
        ${ARG_LIBRARIES})
    target_compile_definitions(${name} PRIVATE
        OSTREVAN_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS "${ARG_LABELS}")
endfunction()
