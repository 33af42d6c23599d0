#pragma once

#include <string>
#include <vector>

namespace ostrevan {

// A command-line program's start, by the backend of the build: its arguments as UTF-8 (on
// Windows read anew as the wide text the system holds, not in the ANSI code page), and
// standard output and error set to write bytes as they are (Windows would turn "\n" into
// "\r\n").
std::vector<std::string> commandLineArguments(int argc, char** argv);

// Whether standard error goes to a terminal (a console window on Windows).
bool standardErrorIsTerminal();

} // namespace ostrevan
