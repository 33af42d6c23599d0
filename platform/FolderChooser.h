#pragma once

#include <string>

namespace ostrevan {

// A modal folder chooser owned by the main window, standing in for the shell's folder browser.
class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    // Starts at root; the chosen folder's full path, or the empty text when cancelled.
    virtual std::string chooseFolder(const std::string& title, const std::string& root) = 0;
};

} // namespace ostrevan
