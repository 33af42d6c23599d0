#include "platform/ole/LocalFiles.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace ostrevan {
namespace {

// Whether path is absolute and lexically normal already: components after the root that are
// neither empty, "." nor "..".
bool isNormalAbsolute(std::string_view path) {
    if (!path.starts_with('/')) {
        return false;
    }
    for (std::size_t start = 1;;) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string_view part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
        if (end == path.size()) {
            return true;
        }
        start = end + 1;
    }
}

} // namespace

bool regularFileExists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool isLocalAbsolutePath(std::string_view path) {
    return path.size() > 1 && path[0] == '/' && path[1] != '/';
}

std::string absoluteLocalPath(const std::string& path) {
    if (isNormalAbsolute(path)) {
        return path;
    }
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

char localSeparator() {
    return '/';
}

FolderFiles::FolderFiles(const std::string& folder)
    : m_prefix(folder.empty() || folder.ends_with('/') ? folder : folder + "/"),
      m_folder(open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)) {}

FolderFiles::~FolderFiles() {
    if (m_folder >= 0) {
        close(static_cast<int>(m_folder));
    }
}

bool FolderFiles::isFile(const std::string& path) const {
    if (m_folder < 0 || !path.starts_with(m_prefix) || path.size() == m_prefix.size()) {
        return regularFileExists(path);
    }
    struct stat status {};
    return fstatat(static_cast<int>(m_folder), path.c_str() + m_prefix.size(), &status, 0) == 0 &&
           S_ISREG(status.st_mode);
}

} // namespace ostrevan
