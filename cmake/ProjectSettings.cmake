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

# The test data and the real documents (beside the repository, read in place) as the tests
# see them: under Wine the Linux root is drive Z:.
if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
    set(OSTREVAN_TEST_DATA_DIR "Z:${PROJECT_SOURCE_DIR}/tests/data")
    set(OSTREVAN_REAL_DOCUMENTS_DIR "Z:${PROJECT_SOURCE_DIR}/../shared/real")
else()
    set(OSTREVAN_TEST_DATA_DIR "${PROJECT_SOURCE_DIR}/tests/data")
    set(OSTREVAN_REAL_DOCUMENTS_DIR "${PROJECT_SOURCE_DIR}/../shared/real")
endif()

# A GoogleTest executable whose tests ctest lists one by one. GUI tests get a main that
# creates the QApplication first. LABELS let ctest -L select them (real, slow); an
# ENVIRONMENT_MODIFICATION (one, such as TMPDIR=set:/dev/shm) changes their environment.
function(ostrevan_add_test name)
    cmake_parse_arguments(ARG "GUI" "ENVIRONMENT_MODIFICATION" "SOURCES;LIBRARIES;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    if(ARG_GUI)
        set(test_main ostrevan_test_gui_main)
    else()
        set(test_main GTest::gtest_main)
    endif()
    target_link_libraries(${name} PRIVATE ostrevan_settings GTest::gmock ${test_main}
        ${ARG_LIBRARIES})
    target_compile_definitions(${name} PRIVATE
        OSTREVAN_TEST_DATA="${OSTREVAN_TEST_DATA_DIR}")
    set(properties ENVIRONMENT QT_QPA_PLATFORM=offscreen)
    if(ARG_LABELS)
        list(APPEND properties LABELS "${ARG_LABELS}")
    endif()
    if(ARG_ENVIRONMENT_MODIFICATION)
        list(APPEND properties ENVIRONMENT_MODIFICATION ${ARG_ENVIRONMENT_MODIFICATION})
    endif()
    if(CMAKE_CROSSCOMPILING)
        # One run per program: starting a program under Wine costs more than most tests.
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES ${properties})
    else()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
    endif()
endfunction()

# The tests of real processes check locks and kills, not the disk: a temporary folder in
# memory, where there is one, keeps their thousands of fsync calls cheap.
if(EXISTS /dev/shm)
    set(OSTREVAN_PROCESS_TEST_ENVIRONMENT TMPDIR=set:/dev/shm)
endif()
