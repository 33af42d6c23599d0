#include "platform/ole/ReadOnlyFile.h"

#include "platform/Error.h"
#include "platform/ole/LocalFiles.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/WindowsApi.h"

#include <algorithm>
#include <climits>

namespace ostrevan {
namespace {

HANDLE handleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

std::intptr_t openReadOnly(const std::string& path) {
    if (path.empty()) {
        raise(err::FileNotFound);
    }
    // Shared with every other use, so that a scan never stands in anyone's way.
    const HANDLE handle =
        CreateFileW(longPath(path).c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD failure = GetLastError();
        // A folder opened without backup semantics is refused: it is not a regular file.
        if (failure == ERROR_ACCESS_DENIED) {
            const DWORD attributes = GetFileAttributesW(longPath(path).c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES &&
                (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                raise(err::BadFileFormat);
            }
        }
        raiseWin32Error(failure, err::FileNotFound);
    }
    return reinterpret_cast<std::intptr_t>(handle);
}

// The size of a file on a disk; closes the handle and raises 321 for anything else.
std::uint64_t diskFileSize(std::intptr_t file) {
    const HANDLE handle = handleOf(file);
    LARGE_INTEGER size{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &size)) {
        CloseHandle(handle);
        raise(err::BadFileFormat);
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

} // namespace

ReadOnlyFile::ReadOnlyFile(const std::string& path)
    : m_handle(openReadOnly(path)), m_size(diskFileSize(m_handle)) {}

ReadOnlyFile::ReadOnlyFile(const FolderFiles& folder, const std::string& name)
    : ReadOnlyFile(folder.m_prefix + name) {}

ReadOnlyFile::~ReadOnlyFile() {
    CloseHandle(handleOf(m_handle));
}

std::size_t ReadOnlyFile::readAt(std::uint8_t* target, std::size_t count, std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(handleOf(m_handle), target,
                  static_cast<DWORD>(std::min<std::size_t>(count, UINT_MAX)), &got, &at)) {
        return 0;
    }
    return got;
}

} // namespace ostrevan
