#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrevan {

// The lines of an INI file (Windows-1252 bytes) as Windows reads them, kept byte for byte so
// that an edit changes only the lines it concerns. Section and key names compare without
// regard to case and to blanks around them. Of sections with the same name only the first
// is read and written; lines before the first header belong to no section.
class ProfileDocument final {
public:
    explicit ProfileDocument(std::string_view bytes);

    bool hasSection(std::string_view section) const;
    // Every section header's name, duplicates included, in file order.
    std::vector<std::string> sectionNames() const;
    // The names of the keys of the section that have a "=", the empty name too; comments
    // left out.
    std::vector<std::string> keyNames(std::string_view section) const;
    // The key's value without the blanks around it; nothing when the key is missing or its
    // line has no "=".
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Replaces the key's value in its line, or adds the key after the section's last key,
    // or adds the section at the end.
    void setValue(std::string_view section, std::string_view key, std::string_view value);
    // Each returns whether a line was removed.
    bool deleteKey(std::string_view section, std::string_view key);
    // Removes every section of that name, header to the line before the next header.
    bool deleteSection(std::string_view section);

    std::string bytes() const;

private:
    enum class Kind { Blank, Header, Entry };
    struct Line {
        std::string text;   // without its line end
        std::string ending; // "\r\n", "\n", "\r" or "" for a last line without one
        Kind kind = Kind::Blank;
        std::string name;                   // header or key name, trimmed
        std::optional<std::size_t> equals;  // offset of the "=" in text
        std::optional<std::size_t> valueAt; // offset of the value's first byte in text
    };

    static Line parseLine(std::string text, std::string ending, bool first);
    std::optional<std::size_t> findSection(std::string_view section) const;
    std::size_t sectionEnd(std::size_t header) const;
    std::optional<std::size_t> findKey(std::size_t header, std::string_view key) const;
    void insertLine(std::size_t at, std::string text);

    std::vector<Line> m_lines;
};

} // namespace ostrevan
