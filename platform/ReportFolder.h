#pragma once

#include <string>

namespace ostrevan {

// Whether this process may create files in folder (false when it is missing or no folder).
bool folderWritable(const std::string& folder);

// The folder the install rules put the program in (bin/ below the install prefix).
std::string installedProgramFolder();

// The folder the report goes to: the program's own folder where this user may write there
// (a build tree, a user's own copy), else the user's data folder. The installed program's
// folder is never used: it belongs to the package, and Windows too redirects such writes to a
// per-user store.
std::string reportFolder(const std::string& programFolder);

} // namespace ostrevan
