#pragma once

#include <string>

namespace ostrevan {

// The per-user folders of the program, created on first use:
// configuration ($XDG_CONFIG_HOME or ~/.config, then Ostrevan; on Windows the roaming
// application data) holds the registry store, INI files given without a folder and
// LinkMgmt.txt; data ($XDG_DATA_HOME or ~/.local/share, then Ostrevan; on Windows the local
// application data) takes what the program's own folder cannot hold.
// Both return the path without a trailing separator; a folder that cannot be created is
// still returned (callers then fail on their first write with the error of that write).
std::string userConfigFolder();
std::string userDataFolder();

} // namespace ostrevan
