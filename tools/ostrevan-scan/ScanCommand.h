#pragma once

#include "tools/ostrevan-scan/ScanOutput.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace ostrevan {

class FileSystem;

// What the command reaches outside itself; the caller owns it all.
struct ScanCommandEnvironment {
    std::ostream& out;
    std::ostream& err;
    // Progress is shown only on a terminal.
    bool errIsTerminal = false;
    // The file system with the file types of the registry store, as the window has it.
    const FileSystem& fileSystem;
    // The folder of LinkMgmt.txt.
    std::string configFolder;
    // Failures injected into the writing of -o FILE.
    OutputFault outputFault = {};
};

// Exit statuses.
inline constexpr int kScanNoRows = 0;
inline constexpr int kScanRowsListed = 1;
inline constexpr int kScanUsageError = 2;
inline constexpr int kScanSomethingUnreadable = 3;
inline constexpr int kScanOutputFailed = 4;

// ostrevan-scan [OPTIONS] PATH: the window's scan of a document or a folder, its rows
// streamed in the chosen format. Returns the exit status.
int runScanCommand(const std::vector<std::string>& arguments,
                   const ScanCommandEnvironment& environment);

} // namespace ostrevan
