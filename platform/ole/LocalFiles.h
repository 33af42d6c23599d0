#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ostrevan {

// This machine's files as link resolution asks about them, by the backend of the build.

// Whether path names an existing regular file (after symbolic links).
bool regularFileExists(const std::string& path);

// Whether a stored path names a file of this machine as it is written: on POSIX an absolute
// path (not a UNC path written with slashes), on Windows a drive or UNC path.
bool isLocalAbsolutePath(std::string_view path);

// path made absolute and normal; as it is when that fails.
std::string absoluteLocalPath(const std::string& path);

// This system's path separator.
char localSeparator();

// The files in and below one folder. Where the system allows it (POSIX) the folder is opened
// once, and a path in or below it is looked up from there instead of from the root again.
class FolderFiles final {
public:
    explicit FolderFiles(const std::string& folder);
    ~FolderFiles();
    FolderFiles(const FolderFiles&) = delete;
    FolderFiles& operator=(const FolderFiles&) = delete;

    // As regularFileExists.
    bool isFile(const std::string& path) const;

private:
    friend class ReadOnlyFile;

    std::string m_prefix; // the folder with a trailing separator; empty for no folder
    std::intptr_t m_folder = -1;
};

} // namespace ostrevan
