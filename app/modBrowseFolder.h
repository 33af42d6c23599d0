#pragma once

#include <cstdint>
#include <string>

namespace ostrevan {

class FolderChooser;
class modErrorhandler;

// Lets the user pick a folder with owner's folder chooser, starting at the top of the file
// system. The chosen folder's full path, or "" when the user cancelled or chose a place
// without a file-system path. An error is stamped with the step in progress
// ("Tavrosk.modBrowseFolder.BrowseFolder(30)") and raised again.
std::string BrowseFolder(FolderChooser& owner, modErrorhandler& errors, const std::string& title);

// The special-folder number for a folder number of the module's own: below 2 the desktop (0),
// then the number itself up to 11, from 12 on the number + 4 in 16 bits (overflow, error 6,
// from 32764 on, stamped "Tavrosk.modBrowseFolder.GetFolderValue(10)").
std::int32_t GetFolderValue(modErrorhandler& errors, const std::int16_t& folder);

} // namespace ostrevan
