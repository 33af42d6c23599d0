#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ostrevan {

// 32-bit and 16-bit integer arithmetic as the runtime does it: an overflow raises error 6.
std::int32_t addInt32(std::int32_t a, std::int32_t b);
std::int16_t addInt16(std::int16_t a, std::int16_t b);

// Rounds to the nearest whole number, halves to the even neighbour, and raises error 6 when
// the result does not fit into 32 bits.
std::int32_t roundToInt32(double value);

// The leading-number rule for text to number: blanks skipped, an optional sign, digits with
// an optional decimal point and exponent; whatever follows is ignored; no number gives 0.
double leadingNumber(std::string_view text);

// Text to a 32-bit integer as a numeric conversion does it: the whole text (blanks around it
// allowed) must be a number, else error 13; out of range error 6; halves to even.
std::int32_t textToInt32(std::string_view text);

// Formats a whole number with a pattern of zeros ("0000000"): at least as many digits as the
// pattern has, zero-padded on the left; longer numbers are written in full.
std::string formatZeroPadded(std::int64_t value, std::string_view pattern);

// left = (screen - window) \ 2, the difference rounded to 32 bits (halves to even) before the
// integer division that truncates toward zero. Units are the caller's (twips).
std::int32_t centredOffset(double screenExtent, double windowExtent);

} // namespace ostrevan
