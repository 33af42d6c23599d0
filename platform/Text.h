#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ostrevan {

// Text is UTF-8 inside the program; Windows-1252 bytes at the ANSI edges.

// Text may hold bytes that are not UTF-8: a file name is the bytes its file system gave
// (a Latin-1 name from an old share), and it stays those bytes wherever it is compared or
// used; only its display decodes it.

// Unicode-aware upper case (ä -> Ä, ß stays ß as the ANSI functions keep it). Bytes that are
// not UTF-8 stay as they are, so that two different such names never become equal.
std::string upperCase(std::string_view utf8);

// UTF-8 to Windows-1252: one byte per character; a character the code page cannot hold
// becomes '?'. A byte that is not UTF-8 is kept: it is most likely already this code page.
std::string toWindows1252(std::string_view utf8);

// Text as UTF-8 for display: each byte that is not part of valid UTF-8 becomes its
// Windows-1252 character.
std::string displayText(std::string_view bytes);

// Each C0 control character (line ends, tab, ...) and DEL as its visible symbol (U+2400 to
// U+241F, U+2421), so that a name shows on one line as what it is.
std::string controlsMadeVisible(std::string_view text);

// Each C0 control character as '?', as a report line can hold no line break of its own.
std::string controlsAsQuestionMarks(std::string_view text);

// Windows-1252 bytes to UTF-8. The five bytes the code page leaves undefined map to the
// control characters of the same value, as Windows does.
std::string fromWindows1252(std::string_view bytes);

// Whether text is ASCII only: its case and its bytes map one to one.
bool isAscii(std::string_view text);

// An ASCII letter in upper case, as upperCase maps it; any other byte as it is.
constexpr char asciiUpperCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Whether two ASCII texts are equal but for the case of their letters, as their upperCase
// forms compare.
bool asciiEqualIgnoringCase(std::string_view left, std::string_view right);

// Hash and equality of texts as their upperCase forms compare, for unordered containers of
// names: ASCII text is compared in place, without the copy upperCase makes.
struct UpperCaseHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const;
};
struct UpperCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view left, std::string_view right) const;
};

// Whether text is well-formed UTF-8 (no overlong forms, surrogates or values beyond U+10FFFF).
bool isUtf8(std::string_view text);
// The text with every byte that is not part of well-formed UTF-8 replaced by U+FFFD.
std::string validUtf8(std::string_view text);

// UTF-16LE bytes to UTF-8; an odd last byte is dropped, unpaired surrogates become U+FFFD.
std::string fromUtf16Le(std::span<const std::uint8_t> bytes);
// UTF-8 to UTF-16LE bytes without a terminating NUL; invalid bytes become U+FFFD.
std::vector<std::uint8_t> toUtf16Le(std::string_view utf8);

// The value of a hexadecimal digit (0-9, a-f, A-F), -1 for any other character.
int hexDigitValue(char c);

// Counting and cutting by characters, not bytes.
std::int32_t characterCount(std::string_view utf8);
// The first n characters; a negative n raises error 5.
std::string leftText(std::string_view utf8, std::int32_t n);
// Characters from 1-based start, at most length of them; start < 1 or length < 0 raise 5.
std::string midText(std::string_view utf8, std::int32_t start, std::int32_t length);

} // namespace ostrevan
