#include "platform/ReplacementFile.h"

#include "platform/Error.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/WindowsApi.h"

#include <algorithm>
#include <climits>
#include <random>
#include <utility>

namespace ostrevan {
namespace {

constexpr std::int32_t kBadFileMode = 54;

[[noreturn]] void raiseNotReplaced(const std::string& target) {
    raise(err::PathFileAccess, std::string(kProgramName),
          target + " ist keine gewöhnliche Datei und wird nicht ersetzt");
}

// Refuses an existing target that is no plain file on a disk (a folder, a link or junction, a
// device) or that this user may not write.
void refuseUnlessReplaceable(const std::string& target, const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD failure = GetLastError();
        if (failure == ERROR_FILE_NOT_FOUND) {
            return;
        }
        raiseWin32Error(failure, err::FileNotFound);
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        raiseNotReplaced(target);
    }
    // Read-only is asked by itself: an administrator's handle may write such a file.
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        raise(err::PermissionDenied);
    }
    // Opening for writing asks what replacing would: security, a program that holds the file
    // locked. Nothing is written.
    const HANDLE handle = CreateFileW(
        path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        raiseWin32Error(GetLastError(), err::FileNotFound);
    }
    const DWORD type = GetFileType(handle);
    CloseHandle(handle);
    if (type != FILE_TYPE_DISK) {
        raiseNotReplaced(target);
    }
}

class Win32ReplacementFile final : public ReplacementFile {
public:
    Win32ReplacementFile(std::wstring target, const std::wstring& folder, std::wstring name)
        : m_target(std::move(target)) {
        // Short enough for any name limit, whatever the target is called.
        const std::wstring stem =
            folder + L"\\." + name.substr(0, std::min<std::size_t>(name.size(), 200)) + L".";
        std::random_device random;
        DWORD failure = ERROR_FILE_EXISTS;
        for (int attempt = 0; attempt < 100 && failure == ERROR_FILE_EXISTS; ++attempt) {
            std::wstring candidate = stem + std::to_wstring(random()) + L".tmp";
            // A new file only: a name planted in the folder is never used.
            m_handle = CreateFileW(candidate.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (m_handle != INVALID_HANDLE_VALUE) {
                m_path = std::move(candidate);
                break;
            }
            failure = GetLastError();
        }
        if (m_handle == INVALID_HANDLE_VALUE) {
            raiseWin32Error(failure, err::PathNotFound);
        }
    }
    Win32ReplacementFile(const Win32ReplacementFile&) = delete;
    Win32ReplacementFile& operator=(const Win32ReplacementFile&) = delete;

    ~Win32ReplacementFile() override { discard(); }

    void write(std::string_view bytes) override {
        if (m_handle == INVALID_HANDLE_VALUE) {
            raise(kBadFileMode);
        }
        while (!bytes.empty()) {
            DWORD written = 0;
            if (!WriteFile(m_handle, bytes.data(),
                           static_cast<DWORD>(std::min<std::size_t>(bytes.size(), UINT_MAX)),
                           &written, nullptr)) {
                raiseWin32Error(GetLastError(), err::FileNotFound);
            }
            bytes.remove_prefix(written);
        }
    }

    void commit() override {
        if (m_handle == INVALID_HANDLE_VALUE) {
            raise(kBadFileMode);
        }
        const bool flushed = FlushFileBuffers(m_handle) != 0;
        const DWORD flushError = GetLastError();
        const bool closed = CloseHandle(std::exchange(m_handle, INVALID_HANDLE_VALUE)) != 0;
        const DWORD closeError = GetLastError();
        if (!flushed || !closed) {
            discard();
            raiseWin32Error(!flushed ? flushError : closeError, err::FileNotFound);
        }
        if (!MoveFileExW(m_path.c_str(), m_target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            const DWORD failure = GetLastError();
            discard();
            raiseWin32Error(failure, err::FileNotFound);
        }
        m_path.clear();
    }

private:
    void discard() {
        if (m_handle != INVALID_HANDLE_VALUE) {
            CloseHandle(std::exchange(m_handle, INVALID_HANDLE_VALUE));
        }
        if (!m_path.empty()) {
            DeleteFileW(m_path.c_str());
            m_path.clear();
        }
    }

    std::wstring m_target;
    std::wstring m_path;
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

} // namespace

std::unique_ptr<ReplacementFile> openReplacementFile(const std::string& target) {
    if (target.empty()) {
        raise(err::FileNotFound);
    }
    // Device names (NUL, COM1, ...) are no files to replace.
    if (fullPath(target).starts_with("\\\\.\\")) {
        raiseNotReplaced(target);
    }
    const std::wstring path = longPath(target);
    const std::size_t separator = path.rfind(L'\\');
    if (separator == std::wstring::npos || separator + 1 == path.size()) {
        raise(err::PermissionDenied);
    }
    refuseUnlessReplaceable(target, path);
    return std::make_unique<Win32ReplacementFile>(path, path.substr(0, separator),
                                                  path.substr(separator + 1));
}

} // namespace ostrevan
