# The file-system object over POSIX calls.
add_library(ostrevan_fs STATIC
    ${CMAKE_CURRENT_LIST_DIR}/PosixFileSystem.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PosixReplacementFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PosixTextStream.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PseudoFileSystems.cpp
)
target_link_libraries(ostrevan_fs PUBLIC ostrevan_platform ostrevan_settings)
