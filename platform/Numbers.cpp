#include "platform/Numbers.h"

#include "platform/Error.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace ostrevan {

std::int32_t addInt32(std::int32_t a, std::int32_t b) {
    std::int32_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) {
        raise(err::Overflow);
    }
    return sum;
}

std::int16_t addInt16(std::int16_t a, std::int16_t b) {
    std::int16_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) {
        raise(err::Overflow);
    }
    return sum;
}

std::int32_t roundToInt32(double value) {
    if (std::isnan(value)) {
        raise(err::Overflow);
    }
    const double rounded = std::nearbyint(value); // default rounding mode: halves to even
    if (rounded < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        raise(err::Overflow);
    }
    return static_cast<std::int32_t>(rounded);
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Length of the number at the start of text (after blanks), 0 when there is none.
std::size_t numberLength(std::string_view text, std::size_t start) {
    std::size_t pos = start;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ++pos;
    }
    const std::size_t digitsStart = pos;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        ++pos;
    }
    std::size_t digits = pos - digitsStart;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        const std::size_t fractionStart = pos;
        while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
            ++pos;
        }
        digits += pos - fractionStart;
    }
    if (digits == 0) {
        return 0;
    }
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t exponent = pos + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        const std::size_t exponentDigits = exponent;
        while (exponent < text.size() &&
               std::isdigit(static_cast<unsigned char>(text[exponent]))) {
            ++exponent;
        }
        if (exponent > exponentDigits) {
            pos = exponent;
        }
    }
    return pos - start;
}

double parseNumber(std::string_view text) {
    const std::string copy(text);
    return std::strtod(copy.c_str(), nullptr);
}

} // namespace

double leadingNumber(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start])) {
        ++start;
    }
    const std::size_t length = numberLength(text, start);
    return length == 0 ? 0.0 : parseNumber(text.substr(start, length));
}

std::int32_t textToInt32(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start])) {
        ++start;
    }
    const std::size_t length = numberLength(text, start);
    std::size_t end = start + length;
    while (end < text.size() && isBlank(text[end])) {
        ++end;
    }
    if (length == 0 || end != text.size()) {
        raise(err::TypeMismatch);
    }
    return roundToInt32(parseNumber(text.substr(start, length)));
}

std::string formatZeroPadded(std::int64_t value, std::string_view pattern) {
    const bool negative = value < 0;
    std::string digits = std::to_string(value);
    if (negative) {
        digits.erase(0, 1);
    }
    if (digits.size() < pattern.size()) {
        digits.insert(0, pattern.size() - digits.size(), '0');
    }
    return negative ? "-" + digits : digits;
}

std::int32_t centredOffset(double screenExtent, double windowExtent) {
    return roundToInt32(screenExtent - windowExtent) / 2;
}

} // namespace ostrevan
