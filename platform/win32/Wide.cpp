#include "platform/win32/Wide.h"

#include "platform/Text.h"

#include <cstring>
#include <span>

namespace ostrevan {

std::wstring wideText(std::string_view utf8) {
    const std::vector<std::uint8_t> bytes = toUtf16Le(utf8);
    std::wstring wide(bytes.size() / 2, L'\0');
    std::memcpy(wide.data(), bytes.data(), bytes.size());
    return wide;
}

std::string utf8Text(std::wstring_view wide) {
    return fromUtf16Le(std::span(reinterpret_cast<const std::uint8_t*>(wide.data()),
                                 wide.size() * sizeof(wchar_t)));
}

} // namespace ostrevan
