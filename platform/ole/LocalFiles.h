#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace ostrevan {

// This machine's files as link resolution asks about them, by the backend of the build.

// Whether path names an existing regular file (after symbolic links).
bool regularFileExists(const std::string& path);

// Whether a stored path names a file of this machine as it is written: on POSIX an absolute
// path (not a UNC path written with slashes), on Windows a drive or UNC path.
bool isLocalAbsolutePath(std::string_view path);

// path made absolute and normal; as it is when that fails.
std::string absoluteLocalPath(const std::string& path);

// This system's path separator.
char localSeparator();

// One folder, opened where the system allows it (POSIX), so that a file in it is opened from
// there instead of walking its path from the root again.
class FolderFiles final {
public:
    explicit FolderFiles(const std::string& folder);
    ~FolderFiles();
    FolderFiles(const FolderFiles&) = delete;
    FolderFiles& operator=(const FolderFiles&) = delete;

private:
    friend class ReadOnlyFile;

    std::string m_prefix; // the folder with a trailing separator; empty for no folder
    std::intptr_t m_folder = -1;
};

// What the reading of many documents learns of the folders their links point into, kept while
// it lives. Where the system allows it (POSIX) a folder is listed at its first lookup and the
// list answers the later ones, and a missing folder is noted once. The answers are those of
// regularFileExists for files that do not change meanwhile: a file created or removed after
// its folder was listed shows to the next reading, not to this one.
class FolderListings final {
public:
    FolderListings();
    ~FolderListings();
    FolderListings(const FolderListings&) = delete;
    FolderListings& operator=(const FolderListings&) = delete;

    // As regularFileExists.
    bool isFile(const std::string& path);
    // As isFile(FileSystem::BuildPath(folder, name)); the path is built only when the folder's
    // listing cannot answer for the name.
    bool isFileIn(std::string_view folder, std::string_view name);
    // The folder opened; it stays open until another one is asked for.
    const FolderFiles& folder(const std::string& path) {
        if (!m_open || m_openPath != path) {
            m_open.reset();
            m_open.emplace(path);
            m_openPath = path;
        }
        return *m_open;
    }

private:
    struct Listing;
    // The listing of a folder listed before; null when there is none.
    const Listing* listed(std::string_view folder);
    // The listing of a normal absolute folder (or "/"), listed at its first lookup.
    const Listing& listing(std::string_view folder);
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };

    std::unordered_map<std::string, std::unique_ptr<const Listing>, NameHash, std::equal_to<>>
        m_listings;
    // The folder asked about last and its listing: the links of a document mostly point into
    // one folder.
    std::string_view m_lastFolder;
    const Listing* m_lastListing = nullptr;
    std::string m_openPath;
    std::optional<FolderFiles> m_open;
};

} // namespace ostrevan
