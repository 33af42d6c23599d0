#include "platform/ole/LinkResolution.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ostrevan {
namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

bool hasDrive(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// The root of path: "\\server\share\", "C:\", "C:", "/" or "\"; empty for a relative path.
std::string_view rootOf(std::string_view path) {
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        std::size_t end = 2;
        for (int part = 0; part < 2; ++part) {
            while (end < path.size() && !isSeparator(path[end])) {
                ++end;
            }
            end = std::min(end + 1, path.size());
        }
        return path.substr(0, end);
    }
    if (hasDrive(path)) {
        return path.substr(0, path.size() >= 3 && isSeparator(path[2]) ? 3 : 2);
    }
    return path.substr(0, !path.empty() && isSeparator(path[0]) ? 1 : 0);
}

std::vector<std::string_view> components(std::string_view path) {
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const auto end = std::find_if(path.begin(), path.end(), isSeparator) - path.begin();
        if (end > 0) {
            parts.push_back(path.substr(0, static_cast<std::size_t>(end)));
        }
        path.remove_prefix(std::min(path.size(), static_cast<std::size_t>(end) + 1));
    }
    return parts;
}

std::string absoluteDocumentPath(const std::string& documentPath) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(documentPath, error);
    return error ? documentPath : absolute.lexically_normal().string();
}

// A path of this machine: POSIX and absolute (not a UNC path written with slashes).
bool isLocalPath(const MonikerTarget& target) {
    return !target.isUrl && target.path.size() > 1 && target.path[0] == '/' &&
           target.path[1] != '/';
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
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

struct Candidate {
    std::string path;
    ResolvedBy how;
};

class Candidates final {
public:
    // documentPath is absolute.
    Candidates(const std::string& documentPath, const LinkObject& link)
        : m_document(documentPath), m_link(link),
          m_fileName(link.absolute.isUrl ? std::string()
                                         : FileSystem::GetFileName(link.absolute.path)) {}

    void rule(LinkRule rule) {
        switch (rule) {
        case LinkRule::Container:
            inFolder(FileSystem::GetParentFolderName(m_document), ResolvedBy::Container);
            break;
        case LinkRule::Relative:
            if (!m_link.relative) {
                break;
            }
            if (holdsAbsolutePath(*m_link.relative)) {
                // Written so when no relative path exists, e.g. to another server.
                if (isLocalPath(*m_link.relative)) {
                    add(m_link.relative->path, ResolvedBy::Absolute);
                }
            } else if (auto path = applyRelative(m_document, *m_link.relative)) {
                add(std::move(*path), ResolvedBy::Relative);
            }
            break;
        case LinkRule::Absolute:
            if (isLocalPath(m_link.absolute)) {
                add(m_link.absolute.path, ResolvedBy::Absolute);
            }
            break;
        }
    }

    void mappings(const std::vector<PathMapping>& map) {
        if (m_link.absolute.isUrl) {
            return;
        }
        for (const PathMapping& mapping : map) {
            if (auto path = mapped(m_link.absolute.path, mapping)) {
                add(std::move(*path), ResolvedBy::Mapped);
            }
        }
    }

    void inFolder(const std::string& folder, ResolvedBy how) {
        if (!m_fileName.empty() && !folder.empty()) {
            add(FileSystem::BuildPath(folder, m_fileName), how);
        }
    }

    const std::vector<Candidate>& all() const { return m_candidates; }

private:
    void add(std::string path, ResolvedBy how) { m_candidates.push_back({std::move(path), how}); }

    const std::string& m_document;
    const LinkObject& m_link;
    std::string m_fileName;
    std::vector<Candidate> m_candidates;
};

// The candidates of the rules in turn, the first that is a file; documentPath is absolute.
ResolvedLink resolveAgainst(const std::string& documentPath, const LinkObject& link,
                            const LinkManagement& rules,
                            const std::function<bool(const std::string&)>& isFile) {
    Candidates candidates(documentPath, link);
    for (const LinkRule rule : rules.order) {
        candidates.rule(rule);
        if (rule == LinkRule::Absolute) {
            candidates.mappings(rules.map);
        }
    }
    if (std::find(rules.order.begin(), rules.order.end(), LinkRule::Absolute) ==
        rules.order.end()) {
        candidates.mappings(rules.map);
    }
    for (const std::string& folder : rules.searchPath) {
        candidates.inFolder(folder, ResolvedBy::SearchPath);
    }
    for (const Candidate& candidate : candidates.all()) {
        if (isFile(candidate.path)) {
            return {candidate.path, candidate.how, link};
        }
    }
    return {link.absolute.path, ResolvedBy::Missing, link};
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

bool regularFileExists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
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
    return resolveAgainst(absoluteDocumentPath(documentPath), link, rules, isFile);
}

DocumentLinkResolver::DocumentLinkResolver(const std::string& documentPath,
                                           const LinkManagement& rules)
    : m_document(absoluteDocumentPath(documentPath)), m_rules(rules) {
    const std::string folder = FileSystem::GetParentFolderName(m_document);
    m_folder = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    m_folderPrefix = folder.ends_with('/') ? folder : folder + "/";
}

DocumentLinkResolver::~DocumentLinkResolver() {
    if (m_folder >= 0) {
        close(m_folder);
    }
}

bool DocumentLinkResolver::isFile(const std::string& path) const {
    if (m_folder < 0 || !path.starts_with(m_folderPrefix) || path.size() == m_folderPrefix.size()) {
        return regularFileExists(path);
    }
    struct stat status {};
    return fstatat(m_folder, path.c_str() + m_folderPrefix.size(), &status, 0) == 0 &&
           S_ISREG(status.st_mode);
}

ResolvedLink DocumentLinkResolver::resolve(const LinkObject& link) const {
    return resolveAgainst(m_document, link, m_rules,
                          [this](const std::string& path) { return isFile(path); });
}

std::vector<ResolvedLink> readResolvedLinks(const std::string& documentPath,
                                            const LinkManagement& rules) {
    const LinkObjects objects = readLinkObjects(documentPath);
    const DocumentLinkResolver resolver(documentPath, rules);
    std::vector<ResolvedLink> links;
    links.reserve(objects.links.size());
    for (const LinkObject& link : objects.links) {
        links.push_back(resolver.resolve(link));
    }
    return links;
}

} // namespace ostrevan
