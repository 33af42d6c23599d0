#include "platform/posix/ProfileDocument.h"

#include "platform/Text.h"

namespace ostrevan {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Windows counts the end-of-file mark (Ctrl+Z) as a blank too.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '\x1A';
}

std::size_t skipBlanks(std::string_view text, std::size_t from) {
    while (from < text.size() && isBlank(text[from])) {
        ++from;
    }
    return from;
}

std::string_view trimmedRight(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && isBlank(text[end - 1])) {
        --end;
    }
    return text.substr(0, end);
}

std::string_view trimmed(std::string_view text) {
    return trimmedRight(text.substr(skipBlanks(text, 0)));
}

// Every letter of the code page folds, not only ASCII (Ä = ä).
bool sameName(std::string_view name, std::string_view wanted) {
    if (isAscii(name) && isAscii(wanted)) {
        return asciiEqualIgnoringCase(name, wanted);
    }
    return upperCase(fromWindows1252(name)) == upperCase(fromWindows1252(wanted));
}

bool isComment(std::string_view name) {
    return !name.empty() && name.front() == ';';
}

} // namespace

ProfileDocument::ProfileDocument(std::string_view bytes) {
    std::size_t begin = 0;
    while (begin < bytes.size()) {
        std::size_t end = begin;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') {
            ++end;
        }
        std::size_t next = end;
        if (next < bytes.size()) {
            next += bytes.substr(next, 2) == kLineEnd ? 2 : 1;
        }
        m_lines.push_back(parseLine(std::string(bytes.substr(begin, end - begin)),
                                    std::string(bytes.substr(end, next - end)), m_lines.empty()));
        begin = next;
    }
}

ProfileDocument::Line ProfileDocument::parseLine(std::string text, std::string ending, bool first) {
    Line line;
    line.text = std::move(text);
    line.ending = std::move(ending);
    std::string_view content = line.text;
    std::size_t offset = 0;
    if (first && content.starts_with(kByteOrderMark)) {
        offset = kByteOrderMark.size();
    }
    offset = skipBlanks(content, offset);
    const std::string_view rest = trimmed(content.substr(offset));
    if (rest.empty()) {
        return line;
    }
    // The name runs to the line's last "]": "[b]c]" names the section "b]c".
    if (const std::size_t close = rest.rfind(']'); rest.front() == '[' && close != rest.npos) {
        line.kind = Kind::Header;
        line.name = trimmed(rest.substr(1, close - 1));
        return line;
    }
    line.kind = Kind::Entry;
    const std::size_t equals = rest.find('=');
    line.name = trimmed(rest.substr(0, equals));
    if (equals != rest.npos) {
        line.equals = offset + equals;
        line.valueAt = skipBlanks(content, *line.equals + 1);
    }
    return line;
}

std::optional<std::size_t> ProfileDocument::findSection(std::string_view section) const {
    const std::string_view wanted = trimmed(section);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Header && sameName(m_lines[i].name, wanted)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t ProfileDocument::sectionEnd(std::size_t header) const {
    std::size_t end = header + 1;
    while (end < m_lines.size() && m_lines[end].kind != Kind::Header) {
        ++end;
    }
    return end;
}

std::optional<std::size_t> ProfileDocument::findKey(std::size_t header,
                                                    std::string_view key) const {
    const std::string_view wanted = trimmed(key);
    for (std::size_t i = header + 1, end = sectionEnd(header); i < end; ++i) {
        if (m_lines[i].kind == Kind::Entry && sameName(m_lines[i].name, wanted)) {
            return i;
        }
    }
    return std::nullopt;
}

bool ProfileDocument::hasSection(std::string_view section) const {
    return findSection(section).has_value();
}

std::vector<std::string> ProfileDocument::sectionNames() const {
    std::vector<std::string> names;
    for (const Line& line : m_lines) {
        if (line.kind == Kind::Header && !line.name.empty()) {
            names.push_back(line.name);
        }
    }
    return names;
}

std::vector<std::string> ProfileDocument::keyNames(std::string_view section) const {
    std::vector<std::string> names;
    const auto header = findSection(section);
    if (!header) {
        return names;
    }
    for (std::size_t i = *header + 1, end = sectionEnd(*header); i < end; ++i) {
        const Line& line = m_lines[i];
        // "=value" is a key with an empty name, and listed as one.
        if (line.kind == Kind::Entry && line.equals && !isComment(line.name)) {
            names.push_back(line.name);
        }
    }
    return names;
}

std::optional<std::string> ProfileDocument::value(std::string_view section,
                                                  std::string_view key) const {
    const auto header = findSection(section);
    const auto at = header ? findKey(*header, key) : std::nullopt;
    if (!at || !m_lines[*at].valueAt) {
        return std::nullopt;
    }
    const Line& line = m_lines[*at];
    return std::string(trimmed(std::string_view(line.text).substr(*line.valueAt)));
}

void ProfileDocument::insertLine(std::size_t at, std::string text) {
    if (at > 0 && m_lines[at - 1].ending.empty()) {
        m_lines[at - 1].ending = kLineEnd;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at),
                   parseLine(std::move(text), std::string(kLineEnd), at == 0));
}

void ProfileDocument::setValue(std::string_view section, std::string_view key,
                               std::string_view value) {
    const std::string_view name = trimmed(key);
    const std::string_view text = value.substr(skipBlanks(value, 0));
    const auto header = findSection(section);
    if (!header) {
        insertLine(m_lines.size(), "[" + std::string(trimmed(section)) + "]");
        insertLine(m_lines.size(), std::string(name) + "=" + std::string(text));
        return;
    }
    if (const auto at = findKey(*header, name)) {
        Line& line = m_lines[*at];
        std::string changed;
        if (line.equals) {
            // The blanks after "=" stay with a new value; an empty value ends at the "=".
            const std::size_t keep = text.empty() ? *line.equals + 1 : *line.valueAt;
            changed = line.text.substr(0, keep);
        } else {
            changed = std::string(trimmedRight(line.text)) + "=";
        }
        changed += text;
        line = parseLine(std::move(changed), std::move(line.ending), *at == 0);
        return;
    }
    std::size_t after = *header;
    for (std::size_t i = *header + 1, end = sectionEnd(*header); i < end; ++i) {
        if (m_lines[i].kind == Kind::Entry && !isComment(m_lines[i].name)) {
            after = i;
        }
    }
    insertLine(after + 1, std::string(name) + "=" + std::string(text));
}

bool ProfileDocument::deleteKey(std::string_view section, std::string_view key) {
    const auto header = findSection(section);
    const auto at = header ? findKey(*header, key) : std::nullopt;
    if (!at) {
        return false;
    }
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*at));
    return true;
}

bool ProfileDocument::deleteSection(std::string_view section) {
    bool removed = false;
    while (const auto header = findSection(section)) {
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*header),
                      m_lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd(*header)));
        removed = true;
    }
    return removed;
}

std::string ProfileDocument::bytes() const {
    std::string out;
    for (const Line& line : m_lines) {
        out += line.text;
        out += line.ending;
    }
    return out;
}

} // namespace ostrevan
