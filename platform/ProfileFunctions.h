#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ostrevan {

// A string argument that may be the NULL pointer (std::nullopt).
using AnsiArgument = std::optional<std::string_view>;

// The Win32 profile functions, ANSI forms: sections, keys, values and file names are
// Windows-1252 bytes. None of them raises; a failure shows only in the result, as in Win32.
// A file name without a folder names a file in the user's configuration folder.
class ProfileFunctions {
public:
    virtual ~ProfileFunctions() = default;

    // The key's value read as a whole number (decimal; "0x", "0o", "0b" for other bases;
    // blanks and a sign before it; digits beyond 32 bits wrap). nDefault when the file,
    // section or key is missing or the value is empty; 0 for a value that is not a number.
    virtual std::uint32_t GetPrivateProfileInt(std::string_view lpAppName,
                                               std::string_view lpKeyName, std::int32_t nDefault,
                                               std::string_view lpFileName) const = 0;

    // Copies into lpReturnedString, NUL-terminated and cut to its size:
    // - the key's value (blanks around it and one pair of enclosing quotes removed), or
    //   lpDefault without its trailing blanks when there is no such key;
    // - with a NULL key, the names of the section's keys (lpDefault as for a missing key when
    //   there is no such section);
    // - with a NULL section, the names of all sections;
    // a list holds each name followed by a NUL, and a second NUL at its end; a list cut to
    // the buffer ends in two NULs. Returns the bytes stored before the final NUL (size - 2
    // for a cut list); 0 for a buffer of size 0, which stays untouched.
    virtual std::uint32_t GetPrivateProfileString(AnsiArgument lpAppName, AnsiArgument lpKeyName,
                                                  AnsiArgument lpDefault,
                                                  std::span<char> lpReturnedString,
                                                  std::string_view lpFileName) const = 0;

    // Writes the key's value; a NULL value deletes the key, a NULL key the whole section.
    // Lines the write does not concern keep every byte. The file is replaced as a whole
    // (old or new, never a cut one), and writes from several processes are serialised, so
    // that none that reported success is lost. false when the write cannot be done: no such
    // folder, no permission, a read-only file, a full disk, or a name or value that would
    // break the file's structure (a line break; "=" or a leading "[" in a key).
    virtual bool WritePrivateProfileString(std::string_view lpAppName, AnsiArgument lpKeyName,
                                           AnsiArgument lpString, std::string_view lpFileName) = 0;

    // The path (UTF-8) of the file that the functions above use for fileName (UTF-8): a name
    // without a folder lies in the configuration folder; "" stays "".
    virtual std::string ProfilePath(std::string_view fileName) const = 0;
};

} // namespace ostrevan
