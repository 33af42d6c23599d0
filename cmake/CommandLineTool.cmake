# A command-line tool joins the program with one call after its add_executable:
#   ostrevan_command_line_tool(TOOL HELP file SUMMARY "one line" PRINTED_BY target)
# Its German --help text lives in the one file HELP: PRINTED_BY includes it as
# "tools/TOOL/HelpText.h" (kHelpText), and the build makes it into the tool's man page.
# The binary goes to bin/, the man page to man1/.
function(ostrevan_command_line_tool tool)
    cmake_parse_arguments(ARG "" "HELP;SUMMARY;PRINTED_BY" "" ${ARGN})
    file(READ ${ARG_HELP} OSTREVAN_HELP_TEXT)
    set(generated ${PROJECT_BINARY_DIR}/generated)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/HelpText.h.in
        ${generated}/tools/${tool}/HelpText.h @ONLY)
    target_include_directories(${ARG_PRINTED_BY} PRIVATE ${generated})
    install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

    if(NOT CMAKE_CROSSCOMPILING)
        set(page ${CMAKE_CURRENT_BINARY_DIR}/${tool}.1)
        add_custom_command(OUTPUT ${page}.gz
            COMMAND ostrevan_manpage ${tool} ${ARG_SUMMARY} ${PROJECT_VERSION} ${ARG_HELP} ${page}
            COMMAND gzip -9nf ${page}
            DEPENDS ostrevan_manpage ${ARG_HELP}
            COMMENT "Man page of ${tool}"
            VERBATIM)
        add_custom_target(${tool}_manpage ALL DEPENDS ${page}.gz)
        install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
endfunction()
