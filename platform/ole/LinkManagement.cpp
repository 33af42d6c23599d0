#include "platform/ole/LinkManagement.h"

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/ole/ReadOnlyFile.h"
#include "platform/Text.h"

#include <algorithm>
#include <optional>

namespace ostrevan {
namespace {

constexpr std::string_view kFileName = "LinkMgmt.txt";
// A few lines of rules; anything bigger is no LinkMgmt.txt.
constexpr std::size_t kMaxFileSize = 1024 * 1024;

enum class Section { None, SearchPath, Map };

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r';
    };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string decoded(std::string_view line) {
    return isUtf8(line) ? std::string(line) : fromWindows1252(line);
}

class Parser final {
public:
    explicit Parser(const MalformedLineReport& report) : m_report(report) {}

    void line(int number, std::string_view raw) {
        m_number = number;
        const std::string text = decoded(trimmed(raw));
        if (text.empty() || text.front() == ';' || text.front() == '#') {
            return;
        }
        const std::string keyword = upperCase(text);
        switch (m_section) {
        case Section::None:
            outside(text, keyword);
            break;
        case Section::SearchPath:
            if (keyword == "END SEARCH PATH") {
                m_section = Section::None;
            } else if (isSectionLine(keyword)) {
                malformed("section line inside the search path", text);
            } else {
                m_rules.searchPath.push_back(text);
            }
            break;
        case Section::Map:
            if (keyword == "END MAP") {
                m_section = Section::None;
            } else if (isSectionLine(keyword)) {
                malformed("section line inside the map", text);
            } else {
                mapping(text);
            }
            break;
        }
    }

    LinkManagement finish(int lines) {
        m_number = lines;
        if (m_section == Section::SearchPath) {
            malformed("missing END SEARCH PATH", "");
        } else if (m_section == Section::Map) {
            malformed("missing END MAP", "");
        }
        if (!m_sawRule) {
            m_rules.order = LinkManagement{}.order;
        }
        return std::move(m_rules);
    }

private:
    static bool isSectionLine(const std::string& keyword) {
        return keyword.starts_with("BEGIN ") || keyword.starts_with("END ");
    }

    void outside(const std::string& text, const std::string& keyword) {
        if (keyword == "CONTAINER" || keyword == "RELATIVE" || keyword == "ABSOLUTE") {
            const LinkRule rule = keyword == "CONTAINER"  ? LinkRule::Container
                                  : keyword == "RELATIVE" ? LinkRule::Relative
                                                          : LinkRule::Absolute;
            if (!m_sawRule) {
                m_rules.order.clear();
                m_sawRule = true;
            }
            if (std::find(m_rules.order.begin(), m_rules.order.end(), rule) !=
                m_rules.order.end()) {
                malformed("rule named twice", text);
            } else {
                m_rules.order.push_back(rule);
            }
        } else if (keyword == "BEGIN SEARCH PATH") {
            m_section = Section::SearchPath;
        } else if (keyword == "BEGIN MAP") {
            m_section = Section::Map;
        } else {
            malformed("unknown line", text);
        }
    }

    void mapping(const std::string& text) {
        const auto comma = text.find(',');
        const std::string from(trimmed(std::string_view(text).substr(0, comma)));
        const std::string to(comma == std::string::npos
                                 ? std::string_view()
                                 : trimmed(std::string_view(text).substr(comma + 1)));
        if (from.empty() || to.empty()) {
            malformed("a map line needs old and new location separated by a comma", text);
        } else {
            m_rules.map.push_back({from, to});
        }
    }

    void malformed(std::string_view reason, std::string_view text) {
        if (m_report) {
            std::string message = std::string(kFileName) + ":" + std::to_string(m_number) + ": " +
                                  std::string(reason);
            if (!text.empty()) {
                message += ": " + std::string(text);
            }
            m_report(message);
        }
    }

    const MalformedLineReport& m_report;
    LinkManagement m_rules;
    Section m_section = Section::None;
    bool m_sawRule = false;
    int m_number = 0;
};

} // namespace

LinkManagement parseLinkManagement(std::string_view text, const MalformedLineReport& report) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    Parser parser(report);
    int number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        parser.line(++number, text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return parser.finish(number);
}

LinkManagement loadLinkManagement(const std::string& folder, const MalformedLineReport& report) {
    const std::string path = FileSystem::BuildPath(folder, std::string(kFileName));
    const auto unusable = [&](std::string_view why) {
        if (report) {
            report(std::string(kFileName) + ": " + std::string(why) + "; using the default rules");
        }
        return LinkManagement{};
    };
    std::string text;
    bool tooLarge = false;
    const std::optional<Error> failure = trapError([&] {
        // Only a regular file: a pipe under the name cannot hang the scan.
        ReadOnlyFile file(path);
        // A link to /dev/zero or a huge file must not fill the memory; one byte more than
        // allowed tells a file that grew since it was opened.
        text.resize(std::min<std::uint64_t>(file.size(), kMaxFileSize) + 1);
        std::size_t got = 0;
        while (got < text.size()) {
            const std::size_t more = file.readAt(reinterpret_cast<std::uint8_t*>(text.data()) + got,
                                                 text.size() - got, got);
            if (more == 0) {
                break;
            }
            got += more;
        }
        tooLarge = got > kMaxFileSize;
        text.resize(got);
    });
    if (failure) {
        switch (failure->number()) {
        case err::FileNotFound:
        case err::PathNotFound:
            return LinkManagement{};
        case err::BadFileFormat:
            return unusable("not a text file of at most 1 MiB");
        default:
            return unusable("cannot be read");
        }
    }
    if (tooLarge) {
        return unusable("not a text file of at most 1 MiB");
    }
    return parseLinkManagement(text, report);
}

} // namespace ostrevan
