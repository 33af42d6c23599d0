#pragma once

#include <string>
#include <string_view>

namespace ostrevan {

// Decodes one UTF-8 sequence at pos and advances past it; returns U+FFFD and advances one
// byte on invalid input.
char32_t decodeUtf8(std::string_view text, std::size_t& pos);
// Whether decodeUtf8 found no valid sequence at start: it then returns U+FFFD for one byte,
// while a real U+FFFD takes three.
bool isInvalidByte(char32_t code, std::size_t start, std::size_t next);
// Appends the code point's UTF-8 form.
void appendUtf8(std::string& out, char32_t code);

} // namespace ostrevan
