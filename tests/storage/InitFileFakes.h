#pragma once

// Fakes for the INI class: a file system that only opens text files from a map, and profile
// functions that record their calls and answer what the test presets.

#include "platform/FileSystem.h"
#include "platform/ProfileFunctions.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ostrevan::test {

// Files by path, their text as the stream gives it (UTF-8). Members other than FileExists and
// OpenTextFile fail the test.
class TextFileSystem final : public FileSystem {
public:
    void add(const std::string& path, std::string text) { m_files[path] = std::move(text); }

    Folder GetFolder(const std::string& path) const override;
    std::vector<File> Files(const Folder& folder) const override;
    std::vector<Folder> SubFolders(const Folder& folder) const override;
    File GetFile(const std::string& path) const override;
    bool FileExists(const std::string& path) const override;
    bool FolderExists(const std::string& path) const override;
    // Raises 53 for a path not added; other modes or formats than reading ASCII fail.
    std::unique_ptr<TextStream> OpenTextFile(const std::string& path, int ioMode, bool create,
                                             int format) const override;

private:
    std::map<std::string, std::string> m_files;
};

struct ProfileCall {
    std::string function;
    std::optional<std::string> section;
    std::optional<std::string> key;
    std::optional<std::string> value; // the default for reads
    std::int32_t number = 0;          // nDefault of GetPrivateProfileInt
    std::size_t size = 0;             // of the buffer handed in
    bool blankBuffer = false;         // whether it came filled with blanks
    std::string file;
};

class RecordingProfile final : public ProfileFunctions {
public:
    std::uint32_t GetPrivateProfileInt(std::string_view lpAppName, std::string_view lpKeyName,
                                       std::int32_t nDefault,
                                       std::string_view lpFileName) const override;
    // Copies answer (cut to the buffer) into it, NULs included.
    std::uint32_t GetPrivateProfileString(AnsiArgument lpAppName, AnsiArgument lpKeyName,
                                          AnsiArgument lpDefault, std::span<char> lpReturnedString,
                                          std::string_view lpFileName) const override;
    bool WritePrivateProfileString(std::string_view lpAppName, AnsiArgument lpKeyName,
                                   AnsiArgument lpString, std::string_view lpFileName) override;
    // Names without a folder go to "/konfig/".
    std::string ProfilePath(std::string_view fileName) const override;

    std::uint32_t number = 0;
    std::string answer;
    bool written = true;
    mutable std::vector<ProfileCall> calls;
};

} // namespace ostrevan::test
