# The INI class over the profile functions and the file-system object.
add_library(ostrevan_storage_profile STATIC ${CMAKE_CURRENT_LIST_DIR}/clsSystemInitFile.cpp)
target_link_libraries(ostrevan_storage_profile PUBLIC ostrevan_platform ostrevan_settings)
