# The file-system object over POSIX calls; the type-description cache a scan wraps around
# the file-type registry.
add_library(ostrevan_fs STATIC
    ${CMAKE_CURRENT_LIST_DIR}/PosixFileSystem.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PosixTextStream.cpp
    ${PROJECT_SOURCE_DIR}/platform/CachedFileTypes.cpp
)
target_link_libraries(ostrevan_fs PUBLIC ostrevan_platform ostrevan_settings)
