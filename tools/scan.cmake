# ostrevan-scan: the folder scan of the window, without a window.
add_library(ostrevan_scan_command STATIC
    ${CMAKE_CURRENT_LIST_DIR}/ostrevan-scan/ConsoleControls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ostrevan-scan/ReadRecorder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ostrevan-scan/RowFormats.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ostrevan-scan/ScanCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ostrevan-scan/ScanOptions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ostrevan-scan/ScanOutput.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ostrevan-scan/ScanProgress.cpp
)
target_link_libraries(ostrevan_scan_command PUBLIC ostrevan_scan ostrevan_ole ostrevan_tool_text
    PRIVATE ostrevan_fs ostrevan_settings)

add_executable(ostrevan-scan ${CMAKE_CURRENT_LIST_DIR}/ostrevan-scan/main.cpp)
target_link_libraries(ostrevan-scan PRIVATE ostrevan_scan_command ostrevan_system
    ostrevan_settings)
ostrevan_command_line_tool(ostrevan-scan HELP ${CMAKE_CURRENT_LIST_DIR}/ostrevan-scan/help.txt
    SUMMARY "Verknüpfungen eines Ordners ohne Fenster listen" PRINTED_BY ostrevan_scan_command)
