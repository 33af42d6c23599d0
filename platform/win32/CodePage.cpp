#include "platform/Text.h"

#include "platform/Utf8.h"
#include "platform/win32/Wide.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

namespace ostrevan {
namespace {

constexpr UINT kWindows1252 = 1252;

int lengthOf(std::size_t size) {
    if (size > INT_MAX) {
        throw std::length_error("text too long for the Windows text functions");
    }
    return static_cast<int>(size);
}

// Maps each run of valid UTF-8 in text and keeps each byte that is not UTF-8 as it is.
template <class Map> std::string mapValidRuns(std::string_view text, Map&& map) {
    std::string out;
    out.reserve(text.size());
    std::size_t runStart = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t code = decodeUtf8(text, pos);
        if (isInvalidByte(code, start, pos)) {
            out += map(text.substr(runStart, start - runStart));
            out += text[start];
            runStart = pos;
        }
    }
    out += map(text.substr(runStart));
    return out;
}

std::string upperCaseValid(std::string_view utf8) {
    const std::wstring wide = wideText(utf8);
    if (wide.empty()) {
        return {};
    }
    // Simple case mapping, one unit for one: ß stays ß.
    std::wstring upper(wide.size(), L'\0');
    const int written =
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), lengthOf(wide.size()),
                      upper.data(), lengthOf(upper.size()), nullptr, nullptr, 0);
    if (written <= 0) {
        throw std::runtime_error("LCMapStringEx cannot upper-case the text");
    }
    upper.resize(static_cast<std::size_t>(written));
    return utf8Text(upper);
}

std::string toWindows1252Valid(std::string_view utf8) {
    const std::wstring wide = wideText(utf8);
    if (wide.empty()) {
        return {};
    }
    // No best fit ("Ā" would become "A"): what the code page lacks becomes '?'.
    const int size = WideCharToMultiByte(kWindows1252, WC_NO_BEST_FIT_CHARS, wide.data(),
                                         lengthOf(wide.size()), nullptr, 0, "?", nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(kWindows1252, WC_NO_BEST_FIT_CHARS, wide.data(), lengthOf(wide.size()),
                        bytes.data(), size, "?", nullptr);
    return bytes;
}

} // namespace

// Bytes that are not UTF-8 stay as they are: a name from an old share keeps its bytes.
std::string upperCase(std::string_view utf8) {
    return mapValidRuns(utf8, upperCaseValid);
}

std::string toWindows1252(std::string_view utf8) {
    return mapValidRuns(utf8, toWindows1252Valid);
}

std::string fromWindows1252(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int size =
        MultiByteToWideChar(kWindows1252, 0, bytes.data(), lengthOf(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(kWindows1252, 0, bytes.data(), lengthOf(bytes.size()), wide.data(), size);
    return utf8Text(wide);
}

} // namespace ostrevan
