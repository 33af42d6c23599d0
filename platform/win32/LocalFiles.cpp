#include "platform/ole/LocalFiles.h"

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/WindowsApi.h"

namespace ostrevan {
namespace {

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

bool regularFileExists(const std::string& path) {
    std::wstring wide;
    if (path.empty() || trapError([&] { wide = longPath(path); })) {
        return false;
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data) &&
           (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool isLocalAbsolutePath(std::string_view path) {
    const bool drive =
        path.size() >= 3 && isLetter(path[0]) && path[1] == ':' && isPathSeparator(path[2]);
    const bool share = path.size() > 2 && isPathSeparator(path[0]) && isPathSeparator(path[1]) &&
                       !isPathSeparator(path[2]);
    return drive || share;
}

std::string absoluteLocalPath(const std::string& path) {
    std::string full;
    return trapError([&] { full = fullPath(path); }) ? path : full;
}

char localSeparator() {
    return '\\';
}

// Windows has no lookup relative to an open folder that would spare the walk from the root.
FolderFiles::FolderFiles(const std::string& folder)
    : m_prefix(folder.empty() || folder.ends_with('\\') || folder.ends_with('/') ? folder
                                                                                 : folder + "\\") {}

FolderFiles::~FolderFiles() = default;

// Windows folders compare names without regard to case and in ways of their own (short
// names, trailing dots): a list would not answer for them, every file is asked about.
struct FolderListings::Listing {};

FolderListings::FolderListings() = default;

FolderListings::~FolderListings() = default;

bool FolderListings::isFile(const std::string& path) {
    return regularFileExists(path);
}

bool FolderListings::isFileIn(std::string_view folder, std::string_view name) {
    return isFile(FileSystem::BuildPath(folder, name));
}

} // namespace ostrevan
