ostrevan_add_test(test_links_tool
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/LinksToolTest.cpp
    LIBRARIES ostrevan_test_disk ostrevan_links_command ostrevan_test_fixtures Qt6::Core
)
target_compile_definitions(test_links_tool PRIVATE
    OSTREVAN_LINKS_TOOL="$<TARGET_FILE:ostrevan-links>")
add_dependencies(test_links_tool ostrevan-links)
