#pragma once

// A command-line tool's man page made from its --help text, so that both say the same.

#include <string>
#include <string_view>

namespace ostrevan {

struct ManPageSource {
    std::string_view name;    // the command, e.g. ostrevan-links
    std::string_view summary; // one line for the name section
    std::string_view version; // shown in the page's footer
    std::string_view help;    // the --help text
};

// The page in troff (man macros), German headings. The help text's first paragraph is the
// synopsis; after it, an unindented line ending in ':' starts a section, unindented lines
// are running text and indented lines are kept as they stand.
std::string manPage(const ManPageSource& source);

} // namespace ostrevan
