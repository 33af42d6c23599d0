# A program's German man page, made by the build from a text in the shape of a --help text
# (see packaging/manpage/ManPage.h), installed to man1/.
function(ostrevan_man_page name source summary)
    if(CMAKE_CROSSCOMPILING)
        return()
    endif()
    set(page ${CMAKE_CURRENT_BINARY_DIR}/${name}.1)
    add_custom_command(OUTPUT ${page}.gz
        COMMAND ostrevan_manpage ${name} ${summary} ${PROJECT_VERSION} ${source} ${page}
        COMMAND gzip -9nf ${page}
        DEPENDS ostrevan_manpage ${source}
        COMMENT "Man page of ${name}"
        VERBATIM)
    add_custom_target(${name}_manpage ALL DEPENDS ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

# A command-line tool joins the program with one call after its add_executable:
#   ostrevan_command_line_tool(TOOL HELP file SUMMARY "one line" PRINTED_BY target)
# Its German --help text lives in the one file HELP: PRINTED_BY includes it as
# "tools/TOOL/HelpText.h" (kHelpText), and the build makes it into the tool's man page.
# The binary goes to bin/.
function(ostrevan_command_line_tool tool)
    cmake_parse_arguments(ARG "" "HELP;SUMMARY;PRINTED_BY" "" ${ARGN})
    file(READ ${ARG_HELP} OSTREVAN_HELP_TEXT)
    set(generated ${PROJECT_BINARY_DIR}/generated)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/HelpText.h.in
        ${generated}/tools/${tool}/HelpText.h @ONLY)
    target_include_directories(${ARG_PRINTED_BY} PRIVATE ${generated})
    install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    ostrevan_man_page(${tool} ${ARG_HELP} "${ARG_SUMMARY}")
endfunction()
