# ostrevan-links: the links of compound documents and how they resolve here.
add_library(ostrevan_links_command STATIC ${CMAKE_CURRENT_LIST_DIR}/ostrevan-links/LinksCommand.cpp)
target_link_libraries(ostrevan_links_command PUBLIC ostrevan_ole PRIVATE ostrevan_tool_text
    ostrevan_settings)

add_executable(ostrevan-links ${CMAKE_CURRENT_LIST_DIR}/ostrevan-links/main.cpp)
target_link_libraries(ostrevan-links PRIVATE ostrevan_links_command ostrevan_tool_output
    ostrevan_settings)
ostrevan_command_line_tool(ostrevan-links HELP ${CMAKE_CURRENT_LIST_DIR}/ostrevan-links/help.txt
    SUMMARY "Verknüpfungen von Verbunddokumenten anzeigen" PRINTED_BY ostrevan_links_command)
