#pragma once

#include "platform/ProfileFunctions.h"

namespace ostrevan {

// The profile functions as the real kernel32 ANSI calls: Windows' own INI engine, with its
// rules for names, blanks and quotes, and its way of rewriting a file.
class Win32Profile final : public ProfileFunctions {
public:
    std::uint32_t GetPrivateProfileInt(std::string_view lpAppName, std::string_view lpKeyName,
                                       std::int32_t nDefault,
                                       std::string_view lpFileName) const override;
    std::uint32_t GetPrivateProfileString(AnsiArgument lpAppName, AnsiArgument lpKeyName,
                                          AnsiArgument lpDefault, std::span<char> lpReturnedString,
                                          std::string_view lpFileName) const override;
    bool WritePrivateProfileString(std::string_view lpAppName, AnsiArgument lpKeyName,
                                   AnsiArgument lpString, std::string_view lpFileName) override;
    // A name without a folder lies in the Windows folder, as Windows places it.
    std::string ProfilePath(std::string_view fileName) const override;
};

} // namespace ostrevan
