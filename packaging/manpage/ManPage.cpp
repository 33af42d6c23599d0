#include "packaging/manpage/ManPage.h"

#include "platform/Text.h"

#include <sstream>
#include <vector>

namespace ostrevan {
namespace {

using Paragraph = std::vector<std::string>;

std::vector<Paragraph> paragraphs(std::string_view text) {
    std::vector<Paragraph> result(1);
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            result.back().push_back(line);
        } else if (!result.back().empty()) {
            result.emplace_back();
        }
    }
    if (result.back().empty()) {
        result.pop_back();
    }
    return result;
}

// Text as troff shows it literally: backslashes and hyphens escaped, no line taken for a
// request.
std::string troff(std::string_view text) {
    std::string out;
    if (text.starts_with('.') || text.starts_with('\'')) {
        out = "\\&";
    }
    for (const char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
    }
    return out;
}

bool indented(std::string_view line) {
    return line.starts_with(' ') || line.starts_with('\t');
}

bool isHeading(std::string_view line) {
    return !indented(line) && line.ends_with(':');
}

// Running text is filled by the viewer; indented lines are kept as they stand.
void writeParagraph(std::ostringstream& out, const Paragraph& paragraph) {
    auto line = paragraph.begin();
    bool afterHeading = false;
    if (isHeading(*line)) {
        out << ".SH " << troff(upperCase(line->substr(0, line->size() - 1))) << '\n';
        ++line;
        afterHeading = true;
    }
    while (line != paragraph.end()) {
        const bool kept = indented(*line);
        out << (afterHeading ? "" : ".PP\n") << (kept ? ".nf\n" : "");
        afterHeading = false;
        for (; line != paragraph.end() && indented(*line) == kept; ++line) {
            out << troff(*line) << '\n';
        }
        out << (kept ? ".fi\n" : "");
    }
}

} // namespace

std::string manPage(const ManPageSource& source) {
    constexpr std::string_view usagePrefix = "Aufruf: ";
    std::ostringstream out;
    out << ".TH " << troff(upperCase(source.name)) << " 1 \"\" \"Ostrevan " << troff(source.version)
        << "\" \"Ostrevan\"\n";
    out << ".SH BEZEICHNUNG\n" << troff(source.name) << " \\- " << troff(source.summary) << '\n';

    const std::vector<Paragraph> help = paragraphs(source.help);
    out << ".SH \u00DCBERSICHT\n.nf\n";
    for (std::string_view line : help.empty() ? Paragraph{} : help.front()) {
        if (line.starts_with(usagePrefix)) {
            line.remove_prefix(usagePrefix.size());
        }
        out << troff(line) << '\n';
    }
    out << ".fi\n";
    if (help.size() > 1) {
        out << ".SH BESCHREIBUNG\n";
    }
    for (std::size_t i = 1; i < help.size(); ++i) {
        writeParagraph(out, help[i]);
    }
    return out.str();
}

} // namespace ostrevan
