#include "platform/ole/LocalFiles.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace ostrevan {
namespace {

// Whether path is absolute and lexically normal already: components after the root that are
// neither empty, "." nor "..".
bool isNormalAbsolute(std::string_view path) {
    if (!path.starts_with('/')) {
        return false;
    }
    // Each separator starts a component: look at what follows it.
    for (std::size_t slash = 0; slash != std::string_view::npos;
         slash = path.find('/', slash + 1)) {
        const std::string_view part = path.substr(slash + 1, 3);
        if (part.empty() || part[0] == '/' ||
            (part[0] == '.' &&
             (part == "." || part == ".." || part.starts_with("./") || part.starts_with("../")))) {
            return false;
        }
    }
    return true;
}

// Whether name is one component of a normal path: neither empty, "." nor "..", without a
// separator or a NUL.
bool isComponent(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

// Folders with more entries are not kept in memory; their files are looked up one by one.
constexpr std::size_t kMostListedEntries = 100'000;

// name with the case of its ASCII letters swapped.
std::string swappedCase(std::string name) {
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return name;
}

bool mayBeLink(unsigned char type) {
    return type == DT_LNK || type == DT_UNKNOWN;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

} // namespace

// A folder as its first lookup found it.
struct FolderListings::Listing {
    enum class State { Missing, Listed, Unlisted };

    State state = State::Unlisted;
    // Whether a name the folder lacks is surely no file: only where it tells names apart by
    // case (a folder may fold case, e.g. on a FAT or SMB mount or ext4 with casefold).
    bool tellsCaseApart = false;
    // Each entry's type as the folder holds it (DT_REG, DT_LNK, ...).
    std::unordered_map<std::string, unsigned char, NameHash, std::equal_to<>> types;

    // As regularFileExists(path()) for the name in this folder; the path is made only when
    // the listing cannot tell.
    template <class Path> bool isFile(std::string_view name, const Path& path) const {
        switch (state) {
        case State::Missing:
            return false;
        case State::Unlisted:
            return regularFileExists(path());
        case State::Listed:
            break;
        }
        const auto entry = types.find(name);
        if (entry == types.end()) {
            // An ASCII name alone: a folder may also compare names in Unicode normal form.
            return tellsCaseApart && isAscii(name) ? false : regularFileExists(path());
        }
        return entry->second == DT_REG || (mayBeLink(entry->second) && regularFileExists(path()));
    }

    // Whether the open folder finds none of its names by another case: the first name with a
    // letter whose swapped spelling is not listed too is looked up by that spelling.
    bool probeCase(int folder) const {
        for (const auto& entry : types) {
            const std::string swapped = swappedCase(entry.first);
            if (swapped != entry.first && !types.contains(swapped)) {
                struct stat status {};
                return fstatat(folder, swapped.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 &&
                       errno == ENOENT;
            }
        }
        return false;
    }

    // The folder at path: missing when its path names no folder, unlisted when it cannot be
    // listed whole or is too large to keep.
    static std::unique_ptr<const Listing> of(const std::string& path) {
        auto listing = std::make_unique<Listing>();
        const int folder = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder < 0) {
            if (errno == ENOENT || errno == ENOTDIR || errno == ELOOP) {
                listing->state = State::Missing;
            }
            return listing;
        }
        const std::unique_ptr<DIR, DirCloser> dir(fdopendir(folder));
        if (!dir) {
            close(folder);
            return listing;
        }
        // A folder that may be read but not searched names files no lookup reaches.
        if (faccessat(folder, ".", X_OK, AT_EACCESS) != 0) {
            return listing;
        }
        for (;;) {
            errno = 0;
            const dirent* entry = readdir(dir.get());
            if (entry == nullptr) {
                if (errno != 0) {
                    return std::make_unique<Listing>();
                }
                break;
            }
            const std::string_view name(entry->d_name);
            if (name == "." || name == "..") {
                continue;
            }
            if (listing->types.size() == kMostListedEntries) {
                return std::make_unique<Listing>();
            }
            listing->types.emplace(name, entry->d_type);
        }
        listing->tellsCaseApart = listing->probeCase(dirfd(dir.get()));
        listing->state = State::Listed;
        return listing;
    }
};

bool regularFileExists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool isLocalAbsolutePath(std::string_view path) {
    return path.size() > 1 && path[0] == '/' && path[1] != '/';
}

std::string absoluteLocalPath(const std::string& path) {
    if (isNormalAbsolute(path)) {
        return path;
    }
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

char localSeparator() {
    return '/';
}

FolderFiles::FolderFiles(const std::string& folder)
    : m_prefix(folder.empty() || folder.ends_with('/') ? folder : folder + "/"),
      m_folder(open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)) {}

FolderFiles::~FolderFiles() {
    if (m_folder >= 0) {
        close(static_cast<int>(m_folder));
    }
}

FolderListings::FolderListings() = default;

FolderListings::~FolderListings() = default;

const FolderListings::Listing* FolderListings::listed(std::string_view folder) {
    if (m_lastListing == nullptr || folder != m_lastFolder) {
        const auto listing = m_listings.find(folder);
        if (listing == m_listings.end()) {
            return nullptr;
        }
        // The map's key stays where it is while the map lives.
        m_lastFolder = listing->first;
        m_lastListing = listing->second.get();
    }
    return m_lastListing;
}

const FolderListings::Listing& FolderListings::listing(std::string_view folder) {
    if (const Listing* known = listed(folder)) {
        return *known;
    }
    const auto listing = m_listings.emplace(folder, Listing::of(std::string(folder))).first;
    m_lastFolder = listing->first;
    m_lastListing = listing->second.get();
    return *m_lastListing;
}

bool FolderListings::isFile(const std::string& path) {
    const std::size_t separator = path.rfind('/');
    if (separator == std::string::npos) {
        return regularFileExists(path);
    }
    const std::string_view folder(path.data(), std::max<std::size_t>(separator, 1));
    const std::string_view name = std::string_view(path).substr(separator + 1);
    const auto pathItself = [&]() -> const std::string& {
        return path;
    };
    // The folders listed are normal ("/" too): a component in one makes a normal path. Two
    // separators at the start would make another folder of "/".
    if (separator != 1 && path.size() < PATH_MAX && isComponent(name)) {
        if (const Listing* known = listed(folder)) {
            return known->isFile(name, pathItself);
        }
    }
    // Only a normal path names its folder by the text before its last separator; a path too
    // long for the system, or one with a NUL that ends it early, is asked about as it is.
    if (!isNormalAbsolute(path) || path.size() >= PATH_MAX ||
        path.find('\0') != std::string::npos) {
        return regularFileExists(path);
    }
    return listing(folder).isFile(name, pathItself);
}

bool FolderListings::isFileIn(std::string_view folder, std::string_view name) {
    // BuildPath puts '/' between the two when neither has a separator at that end; then a
    // component in a normal folder makes a normal path in that folder.
    const auto path = [&] {
        return FileSystem::BuildPath(folder, name);
    };
    if (folder.empty() || folder.back() == '\\' || !isComponent(name) || name.front() == '\\' ||
        folder.size() + 1 + name.size() >= PATH_MAX) {
        return isFile(path());
    }
    const Listing* known = listed(folder);
    if (known == nullptr) {
        if (!isNormalAbsolute(folder) || folder.find('\0') != std::string_view::npos) {
            return isFile(path());
        }
        known = &listing(folder);
    }
    return known->isFile(name, path);
}

} // namespace ostrevan
