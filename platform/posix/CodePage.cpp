#include "platform/Text.h"

#include "platform/Utf8.h"

#include <array>
#include <cwctype>
#include <iconv.h>
#include <locale.h>
#include <memory>
#include <stdexcept>

namespace ostrevan {
namespace {

locale_t utf8Locale() {
    static const locale_t locale = [] {
        locale_t made = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        if (made == static_cast<locale_t>(nullptr)) {
            throw std::runtime_error("C.UTF-8 locale not available");
        }
        return made;
    }();
    return locale;
}

struct IconvCloser {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};

// The 128 characters of Windows-1252's upper half, decoded once through iconv.
const std::array<char32_t, 128>& upperHalf() {
    static const std::array<char32_t, 128> table = [] {
        std::array<char32_t, 128> made{};
        const iconv_t raw = iconv_open("UTF-32LE", "WINDOWS-1252");
        if (raw == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error("iconv cannot convert from WINDOWS-1252");
        }
        const std::unique_ptr<void, IconvCloser> cd(raw);
        for (std::size_t i = 0; i < made.size(); ++i) {
            char in = static_cast<char>(0x80 + i);
            std::array<unsigned char, 4> out{};
            char* inPtr = &in;
            std::size_t inLeft = 1;
            char* outPtr = reinterpret_cast<char*>(out.data());
            std::size_t outLeft = out.size();
            iconv(raw, nullptr, nullptr, nullptr, nullptr);
            const bool converted =
                iconv(raw, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
            // Undefined bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters.
            made[i] = converted ? static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) |
                                                        (out[3] << 24))
                                : static_cast<char32_t>(0x80 + i);
        }
        return made;
    }();
    return table;
}

} // namespace

std::string upperCase(std::string_view utf8) {
    // ASCII the short way, as the locale maps it; from the first other byte on, by the locale.
    std::string out(utf8);
    char* c = out.data();
    char* const end = c + out.size();
    for (; c != end && static_cast<unsigned char>(*c) < 0x80; ++c) {
        if (*c >= 'a' && *c <= 'z') {
            *c = static_cast<char>(*c - 'a' + 'A');
        }
    }
    if (c == end) {
        return out;
    }
    std::size_t pos = static_cast<std::size_t>(c - out.data());
    out.resize(pos);
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        const char32_t code = decodeUtf8(utf8, pos);
        if (isInvalidByte(code, start, pos)) {
            out += utf8[start];
            continue;
        }
        const auto upper =
            static_cast<char32_t>(towupper_l(static_cast<wint_t>(code), utf8Locale()));
        appendUtf8(out, upper);
    }
    return out;
}

std::string toWindows1252(std::string_view utf8) {
    const auto& table = upperHalf();
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t start = pos;
        const char32_t code = decodeUtf8(utf8, pos);
        if (code < 0x80) {
            out += static_cast<char>(code);
            continue;
        }
        if (isInvalidByte(code, start, pos)) {
            out += utf8[start];
            continue;
        }
        char mapped = '?';
        for (std::size_t i = 0; i < table.size(); ++i) {
            if (table[i] == code) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        out += mapped;
    }
    return out;
}

std::string fromWindows1252(std::string_view bytes) {
    const auto& table = upperHalf();
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        appendUtf8(out, byte < 0x80 ? byte : table[byte - 0x80]);
    }
    return out;
}

} // namespace ostrevan
