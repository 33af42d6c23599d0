#include "platform/Numbers.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <limits>

namespace ostrevan {
namespace {

int errorOf(auto&& body) {
    const auto error = trapError(body);
    return error ? error->number() : 0;
}

TEST(Numbers, AdditionOverflowRaisesSix) {
    constexpr auto max32 = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(addInt32(max32 - 1, 1), max32);
    EXPECT_EQ(errorOf([] { addInt32(max32, 1); }), 6);
    EXPECT_EQ(errorOf([] { addInt32(std::numeric_limits<std::int32_t>::min(), -1); }), 6);
    EXPECT_EQ(addInt16(32763, 4), 32767);
    EXPECT_EQ(errorOf([] { addInt16(32764, 4); }), 6);
}

TEST(Numbers, RoundingHalvesToEven) {
    EXPECT_EQ(roundToInt32(0.5), 0);
    EXPECT_EQ(roundToInt32(1.5), 2);
    EXPECT_EQ(roundToInt32(2.5), 2);
    EXPECT_EQ(roundToInt32(-2.5), -2);
    EXPECT_EQ(roundToInt32(2.6), 3);
    EXPECT_EQ(roundToInt32(2147483647.4), 2147483647);
    EXPECT_EQ(errorOf([] { roundToInt32(2147483647.5); }), 6);
    EXPECT_EQ(errorOf([] { roundToInt32(-2147483649.0); }), 6);
}

TEST(Numbers, LeadingNumberRule) {
    const std::pair<const char*, double> rows[] = {
        {"0 - Referenzen", 0},  {"1 - Alle", 1}, {"abc", 0},  {"", 0},     {"  42x", 42},
        {"-3.5e2z", -350},      {"7.", 7},       {".5", 0.5}, {"+", 0},    {"1e", 1},
    };
    for (const auto& [text, expected] : rows) {
        EXPECT_DOUBLE_EQ(leadingNumber(text), expected) << text;
    }
}

TEST(Numbers, TextToInt32) {
    EXPECT_EQ(textToInt32(" 12 "), 12);
    EXPECT_EQ(textToInt32("2.5"), 2);
    EXPECT_EQ(textToInt32("-7"), -7);
    EXPECT_EQ(errorOf([] { textToInt32("12a"); }), 13);
    EXPECT_EQ(errorOf([] { textToInt32(""); }), 13);
    EXPECT_EQ(errorOf([] { textToInt32("4294967296"); }), 6);
}

TEST(Numbers, ZeroPaddedPatterns) {
    EXPECT_EQ(formatZeroPadded(3, "0000000"), "0000003");
    EXPECT_EQ(formatZeroPadded(120, "0000000"), "0000120");
    EXPECT_EQ(formatZeroPadded(7, "00000"), "00007");
    EXPECT_EQ(formatZeroPadded(123456, "00000"), "123456");
    EXPECT_EQ(formatZeroPadded(-7, "00000"), "-00007");
    EXPECT_EQ(formatZeroPadded(0, "00000"), "00000");
}

TEST(Numbers, CentringRoundsThenTruncates) {
    EXPECT_EQ(centredOffset(19200, 10740), 4230);
    EXPECT_EQ(centredOffset(14400, 7440), 3480);
    EXPECT_EQ(centredOffset(8461, 0), 4230);
    EXPECT_EQ(centredOffset(100.5, 0), 50);  // 100.5 rounds to 100
    EXPECT_EQ(centredOffset(101.5, 0), 51);  // 101.5 rounds to 102
    EXPECT_EQ(centredOffset(1000, 1003), -1); // truncates toward zero
}

} // namespace
} // namespace ostrevan
