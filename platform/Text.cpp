#include "platform/Text.h"

#include "platform/Error.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace ostrevan {

char32_t decodeUtf8(std::string_view text, std::size_t& pos) {
    const auto byte = [&](std::size_t i) {
        return static_cast<unsigned char>(text[i]);
    };
    const unsigned char lead = byte(pos);
    std::size_t length = 0;
    char32_t code = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (pos + length > text.size()) {
        ++pos;
        return 0xFFFD;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        code = (code << 6) | (byte(pos + i) & 0x3F);
    }
    static constexpr std::array<char32_t, 5> minimum{0, 0, 0x80, 0x800, 0x10000};
    if (code < minimum[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++pos;
        return 0xFFFD;
    }
    pos += length;
    return code;
}

bool isInvalidByte(char32_t code, std::size_t start, std::size_t next) {
    return code == 0xFFFD && next - start == 1;
}

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string displayText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t start = pos;
        const char32_t code = decodeUtf8(bytes, pos);
        if (isInvalidByte(code, start, pos)) {
            out += fromWindows1252(bytes.substr(start, 1));
        } else {
            out.append(bytes.substr(start, pos - start));
        }
    }
    return out;
}

std::string controlsMadeVisible(std::string_view text) {
    constexpr char32_t kControlPictures = 0x2400;
    constexpr char32_t kDeletePicture = 0x2421;
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20) {
            appendUtf8(out, kControlPictures + byte);
        } else if (byte == 0x7F) {
            appendUtf8(out, kDeletePicture);
        } else {
            out += c;
        }
    }
    return out;
}

std::string controlsAsQuestionMarks(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = '?';
        }
    }
    return out;
}

std::string fromUtf16Le(std::span<const std::uint8_t> bytes) {
    static_assert(std::endian::native == std::endian::little, "units are read as words");
    const std::size_t units = bytes.size() / 2;
    const auto unit = [&](std::size_t i) -> char32_t {
        return bytes[2 * i] | (bytes[2 * i + 1] << 8);
    };
    // ASCII as nearly every stored name is, one byte a unit: four units at a time while each
    // is below 0x80, then one at a time.
    std::string out(units, '\0');
    std::size_t i = 0;
    for (; i + 4 <= units; i += 4) {
        std::uint64_t four = 0;
        std::memcpy(&four, bytes.data() + 2 * i, sizeof four);
        if ((four & 0xFF80FF80FF80FF80ULL) != 0) {
            break;
        }
        const auto low =
            static_cast<std::uint32_t>((four & 0xFF) | ((four >> 8) & 0xFF00) |
                                       ((four >> 16) & 0xFF0000) | ((four >> 24) & 0xFF000000));
        std::memcpy(out.data() + i, &low, sizeof low);
    }
    for (; i < units && unit(i) < 0x80; ++i) {
        out[i] = static_cast<char>(bytes[2 * i]);
    }
    out.resize(i);
    for (; i < units; ++i) {
        const char32_t code = unit(i);
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 &&
            unit(i + 1) <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((code - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
        } else {
            appendUtf8(out, code >= 0xD800 && code <= 0xDFFF ? 0xFFFD : code);
        }
    }
    return out;
}

namespace {

constexpr std::uint64_t kEveryByte = 0x0101010101010101ULL;
constexpr std::uint64_t kHighBits = kEveryByte * 0x80;

// The eight bytes of text from offset, zero beyond its end.
std::uint64_t wordAt(std::string_view text, std::size_t offset) {
    std::uint64_t word = 0;
    if (text.size() - offset >= sizeof word) {
        std::memcpy(&word, text.data() + offset, sizeof word);
    } else {
        std::memcpy(&word, text.data() + offset, text.size() - offset);
    }
    return word;
}

// asciiUpperCase of eight ASCII bytes at once. A byte's high bit is free, so adding to it
// carries into no other byte: it is set where the byte is at least 'a', and where it is
// beyond 'z'.
std::uint64_t asciiUpperCaseWord(std::uint64_t word) {
    const std::uint64_t fromA = word + kEveryByte * (0x80 - 'a');
    const std::uint64_t beyondZ = word + kEveryByte * (0x80 - 'z' - 1);
    const std::uint64_t lowerCase = fromA & ~beyondZ & kHighBits;
    return word - (lowerCase >> 2);
}

// The bytes eight at a time, each word mapped first.
template <class Map> std::uint64_t wordHash(std::string_view text, Map map) {
    std::uint64_t hash = text.size();
    for (std::size_t i = 0; i < text.size(); i += 8) {
        hash = (hash ^ map(wordAt(text, i))) * 0x9E3779B97F4A7C15ULL;
        hash ^= hash >> 32;
    }
    return hash;
}

} // namespace

bool isAscii(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); i += 8) {
        if ((wordAt(text, i) & kHighBits) != 0) {
            return false;
        }
    }
    return true;
}

// The hash of the upper-cased bytes, so that texts with equal upper-cased forms hash alike
// whichever way they were mapped: ASCII in place, other text by its upper-cased copy.
std::size_t UpperCaseHash::operator()(std::string_view text) const {
    if (!isAscii(text)) {
        return static_cast<std::size_t>(
            wordHash(upperCase(text), [](std::uint64_t word) { return word; }));
    }
    return static_cast<std::size_t>(
        wordHash(text, [](std::uint64_t word) { return asciiUpperCaseWord(word); }));
}

bool asciiEqualIgnoringCase(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) {
        return false;
    }
    // Eight bytes at a time from the end: names that differ mostly differ in their last part.
    for (std::size_t end = left.size(); end > 0;) {
        const std::size_t start = end >= 8 ? end - 8 : 0;
        if (asciiUpperCaseWord(wordAt(left.substr(0, end), start)) !=
            asciiUpperCaseWord(wordAt(right.substr(0, end), start))) {
            return false;
        }
        end = start;
    }
    return true;
}

bool UpperCaseEqual::operator()(std::string_view left, std::string_view right) const {
    if (isAscii(left) && isAscii(right)) {
        return asciiEqualIgnoringCase(left, right);
    }
    return upperCase(left) == upperCase(right);
}

bool isUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t code = decodeUtf8(text, pos);
        if (isInvalidByte(code, start, pos)) {
            return false;
        }
    }
    return true;
}

std::string validUtf8(std::string_view text) {
    if (isUtf8(text)) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t pos = 0; pos < text.size();) {
        appendUtf8(out, decodeUtf8(text, pos));
    }
    return out;
}

std::vector<std::uint8_t> toUtf16Le(std::string_view utf8) {
    std::vector<std::uint8_t> out;
    out.reserve(utf8.size() * 2);
    const auto put = [&out](char32_t unit) {
        out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
    };
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t code = decodeUtf8(utf8, pos);
        if (code >= 0x10000) {
            put(0xD800 | ((code - 0x10000) >> 10));
            put(0xDC00 | ((code - 0x10000) & 0x3FF));
        } else {
            put(code);
        }
    }
    return out;
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::int32_t characterCount(std::string_view utf8) {
    std::int32_t count = 0;
    for (std::size_t pos = 0; pos < utf8.size(); ++count) {
        decodeUtf8(utf8, pos);
    }
    return count;
}

std::string midText(std::string_view utf8, std::int32_t start, std::int32_t length) {
    if (start < 1 || length < 0) {
        raise(err::InvalidCall);
    }
    std::size_t pos = 0;
    for (std::int32_t skipped = 1; skipped < start && pos < utf8.size(); ++skipped) {
        decodeUtf8(utf8, pos);
    }
    const std::size_t begin = pos;
    for (std::int32_t taken = 0; taken < length && pos < utf8.size(); ++taken) {
        decodeUtf8(utf8, pos);
    }
    return std::string(utf8.substr(begin, pos - begin));
}

std::string leftText(std::string_view utf8, std::int32_t n) {
    return midText(utf8, 1, n);
}

} // namespace ostrevan
