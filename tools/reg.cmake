# ostrevan-reg: the registry store from the command line, after Windows' reg.
add_library(ostrevan_reg_command STATIC
    ${CMAKE_CURRENT_LIST_DIR}/ostrevan-reg/RegCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ostrevan-reg/RegFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ostrevan-reg/RegKeys.cpp
)
target_link_libraries(ostrevan_reg_command PUBLIC ostrevan_registry PRIVATE ostrevan_fs ostrevan_settings)

add_executable(ostrevan-reg ${CMAKE_CURRENT_LIST_DIR}/ostrevan-reg/main.cpp)
target_link_libraries(ostrevan-reg PRIVATE ostrevan_reg_command ostrevan_tool_output ostrevan_settings)
ostrevan_command_line_tool(ostrevan-reg HELP ${CMAKE_CURRENT_LIST_DIR}/ostrevan-reg/help.txt
    SUMMARY "die Registrierungsdatenbank von Ostrevan abfragen und bearbeiten"
    PRINTED_BY ostrevan_reg_command)
