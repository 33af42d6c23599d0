# The INI profile engine on temporary folders: the recorded cases, byte-for-byte edits and
# safe writes.
ostrevan_add_test(test_profile
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/ProfileVectorTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ProfileEditTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ProfileSafetyTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ProfileReadTest.cpp
    LIBRARIES ostrevan_test_vectors ostrevan_profile)
target_include_directories(test_profile PRIVATE ${PROJECT_SOURCE_DIR})
# Writers in several processes, and writers killed mid-write.
ostrevan_add_test(test_profile_processes
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ProfileProcessesTest.cpp
    LIBRARIES ostrevan_test_disk ostrevan_profile
    LABELS slow
    ENVIRONMENT_MODIFICATION ${OSTREVAN_PROCESS_TEST_ENVIRONMENT})
target_include_directories(test_profile_processes PRIVATE ${PROJECT_SOURCE_DIR})
