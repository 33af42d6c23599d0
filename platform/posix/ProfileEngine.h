#pragma once

#include "platform/ProfileFunctions.h"
#include "platform/posix/ProfileFileWriter.h"

#include <string>

namespace ostrevan {

// The profile functions on Linux. Every call reads the file anew (nothing is cached), and
// every write replaces the file as a whole through a temporary file.
class ProfileEngine final : public ProfileFunctions {
public:
    // configFolder (UTF-8) holds the files named without a folder (userConfigFolder() for the
    // program). beforeReplace, when given, runs between writing a temporary file and its
    // rename.
    explicit ProfileEngine(std::string configFolder, BeforeReplace beforeReplace = {});

    std::uint32_t GetPrivateProfileInt(std::string_view lpAppName, std::string_view lpKeyName,
                                       std::int32_t nDefault,
                                       std::string_view lpFileName) const override;
    std::uint32_t GetPrivateProfileString(AnsiArgument lpAppName, AnsiArgument lpKeyName,
                                          AnsiArgument lpDefault, std::span<char> lpReturnedString,
                                          std::string_view lpFileName) const override;
    bool WritePrivateProfileString(std::string_view lpAppName, AnsiArgument lpKeyName,
                                   AnsiArgument lpString, std::string_view lpFileName) override;
    std::string ProfilePath(std::string_view fileName) const override;

private:
    std::string m_configFolder;
    BeforeReplace m_beforeReplace;
};

} // namespace ostrevan
