#pragma once

#include <string>
#include <string_view>

namespace ostrevan {

// UTF-8 text and the UTF-16 of the wide Windows functions; invalid input becomes U+FFFD.
std::wstring wideText(std::string_view utf8);
std::string utf8Text(std::wstring_view wide);

} // namespace ostrevan
