#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ostrevan {

// A place in the folder chooser's namespace, standing for the shell's item list: a URL. A
// file: URL names a folder on disk; other schemes name places without a file-system path.
// A plain value, so releasing one is letting it go.
struct FolderItem {
    std::string url;
};

// The browser request: title and root; no options, no callback.
struct BrowseInfo {
    std::string title;
    // Where the chooser starts, showing nothing above it; none: the chooser's own top.
    std::optional<FolderItem> root;
};

// The shell's folder browser: a modal chooser owned by the main window.
class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    // SHGetSpecialFolderLocation: the place of a special-folder number (0, the desktop, is
    // the top of the file system); none when the chooser knows no such place.
    virtual std::optional<FolderItem> SpecialFolderLocation(std::int32_t folder) const = 0;
    // SHBrowseForFolder: blocks until the user closes the chooser; the chosen place, none
    // when cancelled.
    virtual std::optional<FolderItem> BrowseForFolder(const BrowseInfo& info) = 0;
    // SHGetPathFromIDList: the place's full file-system path, "" when it has none.
    virtual std::string GetPathFromIDList(const FolderItem& item) const = 0;
};

} // namespace ostrevan
