#pragma once

#include "platform/ole/LinkManagement.h"
#include "platform/ole/LinkObjects.h"
#include "platform/ole/LocalFiles.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrevan {

enum class ResolvedBy { Container, Relative, Absolute, SearchPath, Mapped, Missing };

// "container", "relative", "absolute", "search-path", "mapped", "missing".
std::string_view resolvedByName(ResolvedBy how);

struct ResolvedLink {
    // The first candidate that exists as a file; when none does, the stored absolute path as
    // written, so that a missing link still shows where it pointed.
    std::string fullName;
    ResolvedBy resolvedBy = ResolvedBy::Missing;
    LinkObject stored;
};

// The stored monikers as their display names: the item of a file + item moniker shows in
// both, the "..\" steps in the relative one; nothing when the link has no relative path.
std::string savedAbsolute(const ResolvedLink& link);
std::optional<std::string> savedRelative(const ResolvedLink& link);

// Resolves a link of the document at documentPath (a path of this machine) by the rules:
// each rule of rules.order in turn, the mapped absolute path right after ABSOLUTE (or after
// the last rule when ABSOLUTE is not among them), then the search path.
ResolvedLink resolveLink(const std::string& documentPath, const LinkObject& link,
                         const LinkManagement& rules,
                         const std::function<bool(const std::string&)>& isFile = regularFileExists);

// Reads and resolves the links of one document. Its path is made absolute once; the document
// is opened from its open folder, and candidates are looked up in the folders' listings.
class DocumentLinkResolver final {
public:
    DocumentLinkResolver(const std::string& documentPath, const LinkManagement& rules,
                         FolderListings& folders);
    DocumentLinkResolver(const DocumentLinkResolver&) = delete;
    DocumentLinkResolver& operator=(const DocumentLinkResolver&) = delete;

    // As readLinkObjects(documentPath).
    LinkObjects readLinkObjects() const;
    // As resolveLink with regularFileExists.
    ResolvedLink resolve(LinkObject link) const;

private:
    std::string m_document;
    // The path as given when it was not m_document already. Only the normal form is sure to
    // name the file in m_documentFolder that the given path names: a ".." after a symbolic link
    // leads elsewhere.
    std::optional<std::string> m_givenPath;
    std::string m_documentFolder;
    const LinkManagement& m_rules;
    FolderListings& m_folders;
};

// Reads the links of the document at path and resolves each; raises as readLinkObjects.
std::vector<ResolvedLink> readResolvedLinks(const std::string& documentPath,
                                            const LinkManagement& rules, FolderListings& folders);

// The relative moniker applied to the container's full path: drop relative.upLevels trailing
// components (the first is the container's file name), then append relative.path. Works on
// Windows and POSIX paths and answers in the container's separator style. Nothing when the
// moniker climbs above the root, has no levels, or its path is rooted (without levels such a
// path is absolute: writers store it so when no relative path exists; resolveLink takes it
// as the absolute path it is).
std::optional<std::string> applyRelative(std::string_view containerPath,
                                         const MonikerTarget& relative);

} // namespace ostrevan
