#include "platform/posix/PosixFileSystem.h"

#include "platform/Error.h"
#include "platform/NameOrder.h"
#include "platform/posix/PosixTextStream.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace ostrevan {
namespace {

constexpr std::int32_t kDirectory = 16;
constexpr std::int32_t kHidden = 2;
constexpr std::int32_t kReadOnly = 1;

[[noreturn]] void raiseErrno(int errnoValue) {
    raise(errorNumberForErrno(errnoValue));
}

// A path that names nothing raises missing; a broken link or a loop of links names nothing.
[[noreturn]] void raiseLookupError(int errnoValue, std::int32_t missing) {
    if (errnoValue == ENOENT || errnoValue == ENOTDIR || errnoValue == ELOOP) {
        raise(missing);
    }
    raiseErrno(errnoValue);
}

struct stat statOrRaise(const std::string& path, std::int32_t missing) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        raiseLookupError(errno, missing);
    }
    return info;
}

// The absolute, lexically normal form of path without a trailing separator. Links are not
// resolved: the path stays the way the user reached the folder.
std::string normalised(const std::string& path) {
    std::string text = std::filesystem::absolute(path).lexically_normal().native();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    return text;
}

std::string lastComponent(const std::string& path) {
    return std::filesystem::path(path).filename().native();
}

// Joins with '/' only: a name on this file system may hold a backslash.
std::string childPath(const std::string& folder, const std::string& name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path += folder;
    if (folder.empty() || folder.back() != '/') {
        path += '/';
    }
    path += name;
    return path;
}

std::string identityOf(const struct stat& info) {
    return std::to_string(info.st_dev) + ':' + std::to_string(info.st_ino);
}

std::int32_t folderAttributes(const std::string& name, bool writable) {
    std::int32_t attributes = kDirectory;
    if (!name.empty() && name.front() == '.') {
        attributes += kHidden;
    }
    if (!writable) {
        attributes += kReadOnly;
    }
    return attributes;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// Calls visit(name, d_type, folder descriptor) for each entry but "." and "..", in the
// file system's order.
template <class Visit> void forEachEntry(const std::string& folderPath, Visit&& visit) {
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folderPath.c_str()));
    if (!dir) {
        raiseLookupError(errno, err::PathNotFound);
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) {
            if (errno != 0) {
                raiseErrno(errno);
            }
            return;
        }
        const std::string name(entry->d_name);
        if (name != "." && name != "..") {
            visit(name, entry->d_type, ::dirfd(dir.get()));
        }
    }
}

// The entry with links followed; nothing when that fails: a broken link, a loop, an entry
// that has gone, a link through a file (ENOTDIR), too long a target or one into a folder this
// user may not enter. One such entry must not cost the folder its other entries.
std::optional<struct stat> followedEntry(int folderFd, const std::string& name) {
    struct stat info {};
    if (::fstatat(folderFd, name.c_str(), &info, 0) == 0) {
        return info;
    }
    return std::nullopt;
}

bool mayBeLink(unsigned char type) {
    return type == DT_LNK || type == DT_UNKNOWN;
}

} // namespace

PosixFileSystem::PosixFileSystem(const FileTypeRegistry& types) : m_types(types) {}

Folder PosixFileSystem::GetFolder(const std::string& path) const {
    const struct stat info = statOrRaise(path, err::PathNotFound);
    if (!S_ISDIR(info.st_mode)) {
        raise(err::PathNotFound);
    }
    Folder folder;
    folder.Path = normalised(path);
    folder.Name = lastComponent(folder.Path);
    folder.Attributes = folderAttributes(folder.Name, ::access(folder.Path.c_str(), W_OK) == 0);
    folder.Identity = identityOf(info);
    return folder;
}

std::vector<File> PosixFileSystem::Files(const Folder& folder) const {
    std::vector<File> files;
    forEachEntry(folder.Path, [&](const std::string& name, unsigned char type, int folderFd) {
        if (type != DT_REG && !mayBeLink(type)) {
            return;
        }
        if (type != DT_REG) {
            const auto info = followedEntry(folderFd, name);
            if (!info || !S_ISREG(info->st_mode)) {
                return;
            }
        }
        File file;
        file.Path = childPath(folder.Path, name);
        file.Name = name;
        file.ParentFolder = folder.Path;
        files.push_back(std::move(file));
    });
    FinishListing(files, m_types);
    return files;
}

std::vector<Folder> PosixFileSystem::SubFolders(const Folder& folder) const {
    std::vector<Folder> folders;
    forEachEntry(folder.Path, [&](const std::string& name, unsigned char type, int folderFd) {
        if (type != DT_DIR && !mayBeLink(type)) {
            return;
        }
        const auto info = followedEntry(folderFd, name);
        if (!info || !S_ISDIR(info->st_mode)) {
            return;
        }
        std::string path = childPath(folder.Path, name);
        if (m_pseudoFileSystems.holds(path, info->st_dev)) {
            return;
        }
        const bool writable = ::faccessat(folderFd, name.c_str(), W_OK, 0) == 0;
        Folder sub;
        sub.Path = std::move(path);
        sub.Name = name;
        sub.Attributes = folderAttributes(name, writable);
        sub.Identity = identityOf(*info);
        folders.push_back(std::move(sub));
    });
    sortByName(folders);
    return folders;
}

File PosixFileSystem::GetFile(const std::string& path) const {
    const struct stat info = statOrRaise(path, err::FileNotFound);
    if (!S_ISREG(info.st_mode)) {
        raise(err::FileNotFound);
    }
    File file;
    file.Path = normalised(path);
    file.Name = lastComponent(file.Path);
    file.ParentFolder = std::filesystem::path(file.Path).parent_path().native();
    file.Type = TypeOf(m_types, file.Name);
    return file;
}

bool PosixFileSystem::FileExists(const std::string& path) const {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool PosixFileSystem::FolderExists(const std::string& path) const {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::unique_ptr<TextStream> PosixFileSystem::OpenTextFile(const std::string& path, int ioMode,
                                                          bool create, int format) const {
    return openTextStream(path, ioMode, create, format);
}

} // namespace ostrevan
