# The common error routine MessageError and the stamping trap built on it.
add_library(ostrevan_errorhandler STATIC
    ${CMAKE_CURRENT_LIST_DIR}/modErrorhandler.cpp
)
target_link_libraries(ostrevan_errorhandler PUBLIC ostrevan_platform)
