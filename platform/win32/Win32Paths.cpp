#include "platform/win32/Win32Paths.h"

#include "platform/Error.h"
#include "platform/win32/Wide.h"
#include "platform/win32/WindowsApi.h"

#include <algorithm>

namespace ostrevan {
namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";

std::wstring absoluteWide(std::string_view path) {
    std::wstring wide = wideText(path);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    if (wide.starts_with(kLongPrefix)) {
        return wide;
    }
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        raiseWin32Error(GetLastError(), err::PathNotFound);
    }
    std::wstring full(size, L'\0');
    full.resize(GetFullPathNameW(wide.c_str(), size, full.data(), nullptr));
    return full;
}

} // namespace

std::string fullPath(std::string_view path) {
    std::wstring full = absoluteWide(path);
    if (full.starts_with(kLongPrefix)) {
        full.erase(0, kLongPrefix.size());
        if (full.starts_with(L"UNC\\")) {
            full.replace(0, 3, L"\\");
        }
    }
    const bool driveRoot = full.size() == 3 && full[1] == L':';
    while (!driveRoot && full.size() > 1 && full.back() == L'\\') {
        full.pop_back();
    }
    return utf8Text(full);
}

std::wstring longPath(std::string_view path) {
    const std::wstring full = absoluteWide(path);
    if (full.starts_with(kLongPrefix)) {
        return full;
    }
    if (full.starts_with(L"\\\\")) {
        return std::wstring(kLongPrefix) + L"UNC\\" + full.substr(2);
    }
    return std::wstring(kLongPrefix) + full;
}

void raiseWin32Error(std::uint32_t code, std::int32_t missing) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
        raise(missing);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:
        raise(err::PathNotFound);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        raise(err::PermissionDenied);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        raise(err::DiskFull);
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        raise(err::OutOfMemory);
    case ERROR_NOT_READY:
        raise(71);
    case ERROR_INVALID_NAME:
        raise(52);
    case ERROR_TOO_MANY_OPEN_FILES:
        raise(67);
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
        raise(err::DeviceIo);
    default:
        raise(err::PathFileAccess);
    }
}

} // namespace ostrevan
