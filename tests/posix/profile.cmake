# The INI profile engine on temporary folders: the recorded cases, byte-for-byte edits and
# safe writes.
ostrevan_add_test(test_profile
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/ProfileVectorTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ProfileEditTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ProfileSafetyTest.cpp
    LIBRARIES ostrevan_test_disk ostrevan_profile Qt6::Core)
target_include_directories(test_profile PRIVATE ${PROJECT_SOURCE_DIR})
