#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ostrevan {

// A path (UTF-8, '\' or '/') made absolute and normal by Windows, with '\' only and no
// trailing separator but a drive root's ("C:\"): the form the file-system object shows.
std::string fullPath(std::string_view path);
// The same path as the wide functions take it beyond 260 characters: "\\?\C:\..." or
// "\\?\UNC\server\share\...".
std::wstring longPath(std::string_view path);

// The runtime's error for a Win32 error code; missing is the error for "not found" (53 for a
// file, 76 for a folder).
[[noreturn]] void raiseWin32Error(std::uint32_t code, std::int32_t missing);

} // namespace ostrevan
