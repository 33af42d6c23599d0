#include "platform/ole/LinkResolution.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "platform/ole/FileInput.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

namespace ostrevan {
namespace {

bool hasDrive(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// The root of path: "\\server\share\", "C:\", "C:", "/" or "\"; empty for a relative path.
std::string_view rootOf(std::string_view path) {
    if (path.size() >= 2 && isPathSeparator(path[0]) && isPathSeparator(path[1])) {
        std::size_t end = 2;
        for (int part = 0; part < 2; ++part) {
            while (end < path.size() && !isPathSeparator(path[end])) {
                ++end;
            }
            end = std::min(end + 1, path.size());
        }
        return path.substr(0, end);
    }
    if (hasDrive(path)) {
        return path.substr(0, path.size() >= 3 && isPathSeparator(path[2]) ? 3 : 2);
    }
    return path.substr(0, !path.empty() && isPathSeparator(path[0]) ? 1 : 0);
}

std::vector<std::string_view> components(std::string_view path) {
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const auto end = std::find_if(path.begin(), path.end(), isPathSeparator) - path.begin();
        if (end > 0) {
            parts.push_back(path.substr(0, static_cast<std::size_t>(end)));
        }
        path.remove_prefix(std::min(path.size(), static_cast<std::size_t>(end) + 1));
    }
    return parts;
}

// A path of this machine as it is written.
bool isLocalPath(const MonikerTarget& target) {
    return !target.isUrl && isLocalAbsolutePath(target.path);
}

// A "relative" moniker without steps whose path is rooted: an absolute path.
bool holdsAbsolutePath(const MonikerTarget& relative) {
    return relative.upLevels == 0 && !relative.isUrl && !rootOf(relative.path).empty();
}

// A prefix of path without regard to case, counted in characters.
std::optional<std::string> mapped(const std::string& path, const PathMapping& mapping) {
    const std::int32_t length = characterCount(mapping.from);
    if (upperCase(leftText(path, length)) != upperCase(mapping.from)) {
        return std::nullopt;
    }
    std::string result = mapping.to + midText(path, length + 1, characterCount(path));
    const char separator = localSeparator();
    std::replace(result.begin(), result.end(), separator == '/' ? '\\' : '/', separator);
    return result;
}

using IsFile = std::function<bool(const std::string&)>;

// The files of a predicate on full paths, as a search asks about them.
class PredicateFiles final {
public:
    explicit PredicateFiles(const IsFile& isFile) : m_isFile(isFile) {}

    bool isFile(const std::string& path) const { return m_isFile(path); }
    bool isFileIn(std::string_view folder, std::string_view name) const {
        return m_isFile(FileSystem::BuildPath(folder, name));
    }

private:
    const IsFile& m_isFile;
};

// The candidates of the rules in turn, each asked about as it is made; the first that is a
// file ends the search, and no candidate after it is built. Files answers isFile(path) and
// isFileIn(folder, name), the latter as isFile(FileSystem::BuildPath(folder, name)).
template <class Files> class Search final {
public:
    // documentPath is absolute, documentFolder its folder.
    Search(const std::string& documentPath, const std::string& documentFolder,
           const LinkObject& link, Files& files)
        : m_document(documentPath), m_documentFolder(documentFolder), m_link(link), m_files(files),
          m_fileName(link.absolute.isUrl ? std::string_view()
                                         : FileSystem::FileNameView(link.absolute.path)) {}

    void rule(LinkRule rule) {
        if (m_found) {
            return;
        }
        switch (rule) {
        case LinkRule::Container:
            inFolder(m_documentFolder, ResolvedBy::Container);
            break;
        case LinkRule::Relative:
            if (!m_link.relative) {
                break;
            }
            if (holdsAbsolutePath(*m_link.relative)) {
                // Written so when no relative path exists, e.g. to another server.
                if (isLocalPath(*m_link.relative)) {
                    consider(m_link.relative->path, ResolvedBy::Absolute);
                }
            } else if (auto path = applyRelative(m_document, *m_link.relative)) {
                consider(std::move(*path), ResolvedBy::Relative);
            }
            break;
        case LinkRule::Absolute:
            if (isLocalPath(m_link.absolute)) {
                consider(m_link.absolute.path, ResolvedBy::Absolute);
            }
            break;
        }
    }

    void mappings(const std::vector<PathMapping>& map) {
        if (m_link.absolute.isUrl) {
            return;
        }
        for (const PathMapping& mapping : map) {
            if (m_found) {
                return;
            }
            if (auto path = mapped(m_link.absolute.path, mapping)) {
                consider(std::move(*path), ResolvedBy::Mapped);
            }
        }
    }

    void inFolder(const std::string& folder, ResolvedBy how) {
        if (!m_found && !m_fileName.empty() && !folder.empty() &&
            m_files.isFileIn(folder, m_fileName)) {
            m_found.emplace(FileSystem::BuildPath(folder, m_fileName), how);
        }
    }

    // The first candidate that is a file, when one was.
    std::optional<std::pair<std::string, ResolvedBy>>& found() { return m_found; }

private:
    // A stored path is copied only when it is the one found.
    template <class Path> void consider(Path&& path, ResolvedBy how) {
        if (!m_found && m_files.isFile(path)) {
            m_found.emplace(std::forward<Path>(path), how);
        }
    }

    const std::string& m_document;
    const std::string& m_documentFolder;
    const LinkObject& m_link;
    Files& m_files;
    std::string_view m_fileName; // a part of m_link
    std::optional<std::pair<std::string, ResolvedBy>> m_found;
};

// documentPath is absolute, documentFolder its folder.
template <class Files>
ResolvedLink resolveAgainst(const std::string& documentPath, const std::string& documentFolder,
                            LinkObject&& link, const LinkManagement& rules, Files& files) {
    Search<Files> search(documentPath, documentFolder, link, files);
    for (const LinkRule rule : rules.order) {
        search.rule(rule);
        if (rule == LinkRule::Absolute) {
            search.mappings(rules.map);
        }
    }
    if (std::find(rules.order.begin(), rules.order.end(), LinkRule::Absolute) ==
        rules.order.end()) {
        search.mappings(rules.map);
    }
    for (const std::string& folder : rules.searchPath) {
        search.inFolder(folder, ResolvedBy::SearchPath);
    }
    ResolvedLink resolved;
    if (auto& found = search.found()) {
        resolved.fullName = std::move(found->first);
        resolved.resolvedBy = found->second;
    } else {
        resolved.fullName = link.absolute.path;
    }
    resolved.stored = std::move(link);
    return resolved;
}

} // namespace

std::string_view resolvedByName(ResolvedBy how) {
    switch (how) {
    case ResolvedBy::Container:
        return "container";
    case ResolvedBy::Relative:
        return "relative";
    case ResolvedBy::Absolute:
        return "absolute";
    case ResolvedBy::SearchPath:
        return "search-path";
    case ResolvedBy::Mapped:
        return "mapped";
    case ResolvedBy::Missing:
        break;
    }
    return "missing";
}

std::string savedAbsolute(const ResolvedLink& link) {
    return link.stored.absolute.displayName();
}

std::optional<std::string> savedRelative(const ResolvedLink& link) {
    if (!link.stored.relative) {
        return std::nullopt;
    }
    return link.stored.relative->displayName();
}

std::optional<std::string> applyRelative(std::string_view containerPath,
                                         const MonikerTarget& relative) {
    if (relative.upLevels < 1 || relative.isUrl || !rootOf(relative.path).empty()) {
        return std::nullopt;
    }
    const std::string_view root = rootOf(containerPath);
    std::vector<std::string_view> parts = components(containerPath.substr(root.size()));
    if (static_cast<std::size_t>(relative.upLevels) > parts.size()) {
        return std::nullopt;
    }
    parts.resize(parts.size() - static_cast<std::size_t>(relative.upLevels));
    for (const std::string_view part : components(relative.path)) {
        if (part == "..") {
            if (parts.empty()) {
                return std::nullopt;
            }
            parts.pop_back();
        } else if (part != ".") {
            parts.push_back(part);
        }
    }
    const bool windows = containerPath.find('\\') != std::string_view::npos &&
                         containerPath.find('/') == std::string_view::npos;
    std::string result(root);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            result += windows ? '\\' : '/';
        }
        result += parts[i];
    }
    return result;
}

ResolvedLink resolveLink(const std::string& documentPath, const LinkObject& link,
                         const LinkManagement& rules,
                         const std::function<bool(const std::string&)>& isFile) {
    const std::string document = absoluteLocalPath(documentPath);
    PredicateFiles files(isFile);
    return resolveAgainst(document, FileSystem::GetParentFolderName(document), LinkObject(link),
                          rules, files);
}

DocumentLinkResolver::DocumentLinkResolver(const std::string& documentPath,
                                           const LinkManagement& rules, FolderListings& folders)
    : m_document(absoluteLocalPath(documentPath)),
      m_givenPath(m_document == documentPath ? std::nullopt : std::optional(documentPath)),
      m_documentFolder(FileSystem::GetParentFolderName(m_document)), m_rules(rules),
      m_folders(folders) {}

LinkObjects DocumentLinkResolver::readLinkObjects() const {
    if (m_givenPath) {
        return ostrevan::readLinkObjects(*m_givenPath);
    }
    FileInput input(m_folders.folder(m_documentFolder), FileSystem::GetFileName(m_document));
    return ostrevan::readLinkObjects(input);
}

ResolvedLink DocumentLinkResolver::resolve(LinkObject link) const {
    return resolveAgainst(m_document, m_documentFolder, std::move(link), m_rules, m_folders);
}

std::vector<ResolvedLink> readResolvedLinks(const std::string& documentPath,
                                            const LinkManagement& rules, FolderListings& folders) {
    const DocumentLinkResolver resolver(documentPath, rules, folders);
    LinkObjects objects = resolver.readLinkObjects();
    std::vector<ResolvedLink> links;
    links.reserve(objects.links.size());
    for (LinkObject& link : objects.links) {
        links.push_back(resolver.resolve(std::move(link)));
    }
    return links;
}

} // namespace ostrevan
