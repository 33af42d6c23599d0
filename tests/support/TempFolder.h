#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ostrevan::test {

// A fresh folder under the system's temporary folder, its own name awkward (leading dot,
// blank, umlaut, ß), removed with everything in it (folders made unreadable by a test
// included) when the object goes. Others may enter it, so that a check run as an
// unprivileged user reaches what it needs.
class TempFolder final {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    // The full path of relative, which may name sub-folders.
    std::string at(std::string_view relative) const;
    // Writes bytes to relative, making its folders; returns the full path.
    std::string file(std::string_view relative, std::string_view bytes = {}) const;
    // Makes relative and the folders above it; returns the full path.
    std::string folder(std::string_view relative) const;
    // Makes a symbolic link at relative pointing to target (taken as it is).
    std::string link(std::string_view relative, const std::string& target) const;

private:
    std::string m_path;
};

// The separator of this system's paths.
inline constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

// The file's bytes; fails the test when it cannot be read.
std::string readBytes(const std::string& path);

// The names in a folder, sorted, so that nothing depends on directory order.
std::vector<std::string> folderNames(const std::string& folder);

// Paths are UTF-8 text in the program (on Linux the file system's bytes, as they are).
std::filesystem::path pathOf(std::string_view utf8);
std::string textOf(const std::filesystem::path& path);

} // namespace ostrevan::test
