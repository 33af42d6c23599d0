# The registry class over the registry functions.
add_library(ostrevan_storage_registry STATIC ${CMAKE_CURRENT_LIST_DIR}/clsSysRegistry.cpp)
target_link_libraries(ostrevan_storage_registry PUBLIC ostrevan_platform ostrevan_settings)
