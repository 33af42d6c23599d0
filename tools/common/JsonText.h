#pragma once

#include <string>

namespace ostrevan {

// A JSON string literal of text (made valid UTF-8), quotes included.
std::string jsonString(const std::string& text);

} // namespace ostrevan
