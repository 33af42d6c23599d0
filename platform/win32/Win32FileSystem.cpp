#include "platform/win32/Win32FileSystem.h"

#include "platform/Error.h"
#include "platform/NameOrder.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/Win32TextStream.h"
#include "platform/win32/WindowsApi.h"

#include <optional>

namespace ostrevan {
namespace {

// The attribute bits the file-system object shows: read-only, hidden, system, directory,
// archive, alias (a reparse point), compressed.
constexpr DWORD kShownAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                   FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY |
                                   FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT |
                                   FILE_ATTRIBUTE_COMPRESSED;

struct FindCloser {
    void operator()(HANDLE find) const { FindClose(find); }
};

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};

// The attributes of what path names; nothing when it names nothing.
std::optional<DWORD> attributesOf(const std::string& path) {
    if (path.empty()) {
        return std::nullopt;
    }
    std::wstring wide;
    if (trapError([&] { wide = longPath(path); })) {
        return std::nullopt;
    }
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    return attributes;
}

bool isFolder(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The volume and file index of the folder, which name it whatever way it was reached; its
// full path where it cannot be opened.
std::string identityOf(const std::string& path) {
    const HANDLE raw = CreateFileW(longPath(path).c_str(), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (raw == INVALID_HANDLE_VALUE) {
        return upperCase(fullPath(path));
    }
    const std::unique_ptr<void, HandleCloser> folder(raw);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(folder.get(), &info)) {
        return upperCase(fullPath(path));
    }
    return std::to_string(info.dwVolumeSerialNumber) + ':' +
           std::to_string((static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) |
                          info.nFileIndexLow);
}

// Calls visit(name, attributes) for each entry of the folder but "." and "..".
template <class Visit> void forEachEntry(const std::string& folderPath, Visit&& visit) {
    WIN32_FIND_DATAW data{};
    const std::wstring pattern = longPath(folderPath) + L"\\*";
    const HANDLE raw = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                        FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (raw == INVALID_HANDLE_VALUE) {
        const DWORD failure = GetLastError();
        if (failure == ERROR_FILE_NOT_FOUND) {
            return; // an empty drive root has not even "."
        }
        raiseWin32Error(failure, err::PathNotFound);
    }
    const std::unique_ptr<void, FindCloser> find(raw);
    do {
        const std::wstring_view name(data.cFileName);
        if (name != L"." && name != L"..") {
            visit(utf8Text(name), data.dwFileAttributes);
        }
    } while (FindNextFileW(find.get(), &data));
    if (const DWORD failure = GetLastError(); failure != ERROR_NO_MORE_FILES) {
        raiseWin32Error(failure, err::PathNotFound);
    }
}

} // namespace

Win32FileSystem::Win32FileSystem(const FileTypeRegistry& types) : m_types(types) {}

Folder Win32FileSystem::GetFolder(const std::string& path) const {
    const std::optional<DWORD> attributes = attributesOf(path);
    if (!attributes || !isFolder(*attributes)) {
        raise(err::PathNotFound);
    }
    Folder folder;
    folder.Path = fullPath(path);
    folder.Name = GetFileName(folder.Path);
    folder.Attributes = static_cast<std::int32_t>(*attributes & kShownAttributes);
    folder.Identity = identityOf(folder.Path);
    return folder;
}

std::vector<File> Win32FileSystem::Files(const Folder& folder) const {
    std::vector<File> files;
    forEachEntry(folder.Path, [&](const std::string& name, DWORD attributes) {
        if (isFolder(attributes)) {
            return;
        }
        File file;
        file.Path = BuildPath(folder.Path, name);
        file.Name = name;
        file.ParentFolder = folder.Path;
        files.push_back(std::move(file));
    });
    FinishListing(files, m_types);
    return files;
}

std::vector<Folder> Win32FileSystem::SubFolders(const Folder& folder) const {
    std::vector<Folder> folders;
    forEachEntry(folder.Path, [&](const std::string& name, DWORD attributes) {
        if (!isFolder(attributes)) {
            return;
        }
        Folder sub;
        sub.Path = BuildPath(folder.Path, name);
        sub.Name = name;
        sub.Attributes = static_cast<std::int32_t>(attributes & kShownAttributes);
        sub.Identity = identityOf(sub.Path);
        folders.push_back(std::move(sub));
    });
    sortByName(folders);
    return folders;
}

File Win32FileSystem::GetFile(const std::string& path) const {
    const std::optional<DWORD> attributes = attributesOf(path);
    if (!attributes || isFolder(*attributes)) {
        raise(err::FileNotFound);
    }
    File file;
    file.Path = fullPath(path);
    file.Name = GetFileName(file.Path);
    file.ParentFolder = GetParentFolderName(file.Path);
    file.Type = TypeOf(m_types, file.Name);
    return file;
}

bool Win32FileSystem::FileExists(const std::string& path) const {
    const std::optional<DWORD> attributes = attributesOf(path);
    return attributes && !isFolder(*attributes);
}

bool Win32FileSystem::FolderExists(const std::string& path) const {
    const std::optional<DWORD> attributes = attributesOf(path);
    return attributes && isFolder(*attributes);
}

std::unique_ptr<TextStream> Win32FileSystem::OpenTextFile(const std::string& path, int ioMode,
                                                          bool create, int format) const {
    return openWin32TextStream(path, ioMode, create, format);
}

} // namespace ostrevan
