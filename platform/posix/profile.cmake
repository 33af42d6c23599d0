# The INI profile engine: Win32-compatible reads, writes that keep the rest of the file.
add_library(ostrevan_profile STATIC
    ${CMAKE_CURRENT_LIST_DIR}/ProfileDocument.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProfileEngine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProfileFileWriter.cpp
)
target_link_libraries(ostrevan_profile PUBLIC ostrevan_platform)
