#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrevan {

// How links are looked for on this machine, after Solid Edge's LinkMgmt.txt.
enum class LinkRule {
    Container, // the link's file name in the document's own folder
    Relative,  // the relative moniker applied to the document's path
    Absolute,  // the stored absolute path, where it is a path of this machine
};

// A stored path prefix and what it stands for here.
struct PathMapping {
    std::string from; // "P:\Projekte"
    std::string to;   // "/mnt/projekte"
};

struct LinkManagement {
    std::vector<LinkRule> order{LinkRule::Container, LinkRule::Relative, LinkRule::Absolute};
    // Folders tried after the rules, in this order.
    std::vector<std::string> searchPath;
    std::vector<PathMapping> map;
};

// Told about each line of the file that is ignored, as "LinkMgmt.txt:LINE: reason: text".
using MalformedLineReport = std::function<void(const std::string&)>;

// The rules in the text of a LinkMgmt.txt: keyword lines CONTAINER, RELATIVE, ABSOLUTE set the
// order (a file without any keeps the default order); folders between BEGIN SEARCH PATH and
// END SEARCH PATH; "old,new" pairs between BEGIN MAP and END MAP. Blank lines and lines
// starting with ';' or '#' are comments. Keywords ignore case; text that is not UTF-8 is read
// as Windows-1252.
LinkManagement parseLinkManagement(std::string_view text, const MalformedLineReport& report);

// The rules of folder/LinkMgmt.txt; the default rules when there is no such file, and, told
// to report, when it cannot be read or is no regular file of at most 1 MiB.
LinkManagement loadLinkManagement(const std::string& folder, const MalformedLineReport& report);

} // namespace ostrevan
