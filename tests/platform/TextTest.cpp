#include "platform/Text.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace ostrevan {
namespace {

TEST(Text, UpperCaseIsUnicodeAware) {
    EXPECT_EQ(upperCase("solid edge part"), "SOLID EDGE PART");
    EXPECT_EQ(upperCase("c:\\daten\\größe"), "C:\\DATEN\\GRÖßE");
    EXPECT_EQ(upperCase("äöü"), "ÄÖÜ");
    EXPECT_EQ(upperCase(""), "");
}

TEST(Text, UpperCaseOfAsciiIsTheSameBeforeAndAfterOtherCharacters) {
    // ASCII up to the first other character takes a shorter way than what follows it.
    for (int c = 1; c < 0x80; ++c) {
        const std::string ascii(1, static_cast<char>(c));
        EXPECT_EQ(upperCase(ascii + "ä"), upperCase(ascii) + "Ä") << c;
        EXPECT_EQ(upperCase("ä" + ascii), "Ä" + upperCase(ascii)) << c;
    }
}

TEST(Text, Utf16NamesOfAsciiAndBeyond) {
    using Bytes = std::vector<std::uint8_t>;
    EXPECT_EQ(fromUtf16Le(Bytes{'J', 0, 'S', 0, 'i', 0, 't', 0, 'e', 0, '1', 0}), "JSite1");
    EXPECT_EQ(fromUtf16Le(Bytes{1, 0, 'O', 0, 'l', 0, 'e', 0, 'x'}), "\x01Ole")
        << "an odd last byte is dropped";
    EXPECT_EQ(fromUtf16Le(Bytes{'a', 0, 0xE4, 0, 0xAC, 0x20, 0x3D, 0xD8, 0x29, 0xDD}),
              "a\u00E4\u20AC\U0001F529");
    EXPECT_EQ(fromUtf16Le(Bytes{0x80, 0, 'b', 0}), "\u0080b") << "U+0080 is not ASCII";
    EXPECT_EQ(fromUtf16Le(Bytes{'a', 1}), "\u0161") << "nor is a unit with a high byte";
    // Names of every length around the four units looked at together, with the one unit
    // beyond ASCII (an umlaut, or a high byte alone) at every place.
    for (std::size_t length = 0; length <= 10; ++length) {
        Bytes ascii;
        for (std::size_t i = 0; i < length; ++i) {
            ascii.insert(ascii.end(), {static_cast<std::uint8_t>('a' + i), 0});
        }
        const std::string expected = fromUtf16Le(ascii);
        ASSERT_EQ(expected.size(), length);
        for (std::size_t at = 0; at < length; ++at) {
            EXPECT_EQ(expected[at], static_cast<char>('a' + at)) << length;
            for (const auto& [low, high, text] :
                 {std::tuple{0xE4, 0, "\u00E4"}, std::tuple{0x7F, 0x7F, "\u7F7F"},
                  std::tuple{0x61, 0x80, "\u8061"}}) {
                Bytes name = ascii;
                name[2 * at] = static_cast<std::uint8_t>(low);
                name[2 * at + 1] = static_cast<std::uint8_t>(high);
                const std::string wanted = expected.substr(0, at) + text + expected.substr(at + 1);
                EXPECT_EQ(fromUtf16Le(name), wanted) << length << " " << at;
            }
        }
    }
}

TEST(Text, Windows1252RoundTrip) {
    EXPECT_EQ(toWindows1252("ä"), "\xE4");
    EXPECT_EQ(toWindows1252("€"), "\x80");
    EXPECT_EQ(toWindows1252("Ω"), "?");
    EXPECT_EQ(toWindows1252("Geh\xE4use \xFF"
                            "b"),
              "Geh\xE4use \xFF"
              "b")
        << "a byte that is not UTF-8 is written as it was";
    EXPECT_EQ(fromWindows1252("\xE4\x80"), "ä€");
    EXPECT_EQ(fromWindows1252("\x81"), "\xC2\x81");
    std::string all;
    for (int byte = 1; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    EXPECT_EQ(toWindows1252(fromWindows1252(all)), all);
}

TEST(Text, RecognisesWellFormedUtf8) {
    for (const char* text : {"", "Welle.par", "Größe", "\xEF\xBF\xBD", "\xF0\x9F\x94\xA9"}) {
        EXPECT_TRUE(isUtf8(text)) << text;
    }
    // Windows-1252, a cut sequence, an overlong slash, a surrogate, beyond U+10FFFF.
    for (const char* text : {"Gr\xF6\xDF"
                             "e",
                             "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
        EXPECT_FALSE(isUtf8(text)) << text;
    }
}

TEST(Text, ReplacesWhatIsNotUtf8ByteByByte) {
    EXPECT_EQ(validUtf8("Größe"), "Größe");
    EXPECT_EQ(validUtf8("Gr\xF6\xDF"
                        "e"),
              "Gr\uFFFD\uFFFDe");
    EXPECT_EQ(validUtf8("a\xC3"), "a\uFFFD");
    EXPECT_EQ(validUtf8("\xED\xA0\x80"), "\uFFFD\uFFFD\uFFFD");
    for (const char* text : {"Welle.par", "\xE4\xC3\xA4\xF0\x9F", "\xC0\xAF/"}) {
        EXPECT_EQ(validUtf8(text), fromUtf16Le(toUtf16Le(text))) << text;
    }
}

TEST(Text, NamesThatAreNotUtf8StayDistinct) {
    EXPECT_EQ(upperCase("/daten/geh\xE4use"), "/DATEN/GEH\xE4USE");
    EXPECT_NE(upperCase("Geh\xE4use"), upperCase("Geh\xF6use"));
    EXPECT_EQ(upperCase("a\xC3"), "A\xC3") << "a cut-off sequence is one byte";
}

TEST(Text, AsciiIsTextWithoutAByteFromTheUpperHalf) {
    // Every length around the eight bytes looked at together, the odd byte at every place.
    for (std::size_t length = 0; length <= 20; ++length) {
        const std::string ascii(length, '\x7f');
        EXPECT_TRUE(isAscii(ascii)) << length;
        for (std::size_t at = 0; at < length; ++at) {
            std::string text = ascii;
            text[at] = '\x80';
            EXPECT_FALSE(isAscii(text)) << length << " " << at;
        }
    }
}

TEST(Text, EveryAsciiCharacterHashesAsItsUpperCase) {
    // Each character at the start, end and beyond the first eight bytes hashed together.
    for (const std::size_t at : {0, 7, 8}) {
        std::map<std::size_t, std::string> upperByHash;
        for (int c = 1; c < 0x80; ++c) {
            std::string text(9, '.');
            text[at] = static_cast<char>(c);
            const auto [entry, added] = upperByHash.emplace(UpperCaseHash()(text), upperCase(text));
            EXPECT_EQ(entry->second, upperCase(text)) << at << " " << c;
        }
        // 26 lower-case letters share the hash of their upper case.
        EXPECT_EQ(upperByHash.size(), 127u - 26u) << at;
    }
}

TEST(Text, AsciiTextsCompareAsTheirUpperCaseFormsWhereverTheyDiffer) {
    // Compared eight bytes at a time from the end: each pair of characters in a short first
    // word, at the edges of a word and in the last one.
    for (const std::size_t length : {1, 7, 8, 9, 17}) {
        for (std::size_t at = 0; at < length; ++at) {
            for (int c = 1; c < 0x80; ++c) {
                for (int d = 1; d < 0x80; ++d) {
                    std::string left(length, 'q');
                    std::string right(length, 'Q');
                    left[at] = static_cast<char>(c);
                    right[at] = static_cast<char>(d);
                    ASSERT_EQ(asciiEqualIgnoringCase(left, right),
                              upperCase(left) == upperCase(right))
                        << length << " " << at << " " << c << " " << d;
                }
            }
        }
        EXPECT_FALSE(
            asciiEqualIgnoringCase(std::string(length, 'a'), std::string(length + 1, 'A')));
    }
}

struct UpperCaseRow {
    const char* name;
    std::string left;
    std::string right;
    bool same;
};

TEST(Text, NamesCompareAndHashAsTheirUpperCaseForms) {
    const std::vector<UpperCaseRow> rows{
        {"ascii case", "C:\\Data\\Welle.par", "c:\\DATA\\welle.PAR", true},
        {"ascii other letter", "Welle.par", "Wello.par", false},
        {"ascii prefix", "Welle.par", "Welle.parx", false},
        {"ascii punctuation", "[a]", "{A}", false},
        {"umlauts", "c:\\daten\\größe.par", "C:\\DATEN\\GRÖßE.PAR", true},
        {"sharp s stays", "Straße.par", "STRASSE.PAR", false},
        {"umlaut against ascii", "Mutter.par", "Mütter.par", false},
        {"not utf-8, same bytes", "geh\xE4use", "GEH\xE4USE", true},
        {"not utf-8, other bytes", "Geh\xE4use", "Geh\xF6use", false},
        {"empty", "", "", true},
        {"long ascii", std::string(300, 'a') + ".par", std::string(300, 'A') + ".PAR", true},
        {"long ascii, last letter", std::string(300, 'a') + "x", std::string(300, 'A') + "Y",
         false},
    };
    for (const UpperCaseRow& row : rows) {
        EXPECT_EQ(UpperCaseEqual()(row.left, row.right), row.same) << row.name;
        EXPECT_EQ(UpperCaseEqual()(row.right, row.left), row.same) << row.name;
        EXPECT_EQ(upperCase(row.left) == upperCase(row.right), row.same) << row.name;
        if (row.same) {
            EXPECT_EQ(UpperCaseHash()(row.left), UpperCaseHash()(row.right)) << row.name;
        }
    }
    // A letter beyond ASCII whose upper case is an ASCII one (dotless i where the system maps
    // it so) compares and hashes as that letter; the names are long enough for an ASCII one
    // to be hashed in place and the other by its upper-cased copy.
    for (const std::size_t length : {0, 249}) {
        const std::string dotless = std::string(length, 'f') + "F\xC4\xB1x.par";
        const std::string ascii = std::string(length, 'F') + "FIX.PAR";
        const bool same = upperCase(dotless) == ascii;
        EXPECT_EQ(UpperCaseEqual()(dotless, ascii), same) << length;
        if (same) {
            EXPECT_EQ(UpperCaseHash()(dotless), UpperCaseHash()(ascii)) << length;
        }
    }
}

struct DisplayRow {
    const char* name;
    std::string bytes;
    std::string display;
    std::string visible;
    std::string report;
};

TEST(Text, NamesAreShownAndReportedSafely) {
    const DisplayRow rows[] = {
        {"plain", "Welle.par", "Welle.par", "Welle.par", "Welle.par"},
        {"UTF-8 stays", "Gehäuse €.par", "Gehäuse €.par", "Gehäuse €.par", "Gehäuse €.par"},
        {"Latin-1 byte", "Geh\xE4use.par", "Gehäuse.par", "Geh\xE4use.par", "Geh\xE4use.par"},
        {"Windows-1252 euro and undefined byte", "\x80\x81", "€\xC2\x81", "\x80\x81", "\x80\x81"},
        {"CR LF", "a\r\n00099   FORGED", "a\r\n00099   FORGED", "a␍␊00099   FORGED",
         "a??00099   FORGED"},
        {"tab, NUL-free controls and DEL", "\t\x1F\x7F", "\t\x1F\x7F", "␉␟␡", "??\x7F"},
        {"a real U+FFFD", "\xEF\xBF\xBD", "\xEF\xBF\xBD", "\xEF\xBF\xBD", "\xEF\xBF\xBD"},
    };
    for (const DisplayRow& row : rows) {
        EXPECT_EQ(displayText(row.bytes), row.display) << row.name;
        EXPECT_EQ(controlsMadeVisible(row.bytes), row.visible) << row.name;
        EXPECT_EQ(controlsAsQuestionMarks(row.bytes), row.report) << row.name;
    }
}

TEST(Text, CuttingCountsCharacters) {
    EXPECT_EQ(characterCount("Grüße"), 5);
    EXPECT_EQ(leftText("Ärger", 1), "Ä");
    EXPECT_EQ(leftText("ab", 5), "ab");
    EXPECT_EQ(midText("Grüße", 3, 2), "üß");
    EXPECT_EQ(midText("abc", 9, 2), "");
    EXPECT_EQ(trapError([] { leftText("abc", -1); })->number(), 5);
    EXPECT_EQ(trapError([] { midText("abc", 0, 1); })->number(), 5);
}

TEST(Text, HexDigits) {
    EXPECT_EQ(hexDigitValue('0'), 0);
    EXPECT_EQ(hexDigitValue('9'), 9);
    EXPECT_EQ(hexDigitValue('a'), 10);
    EXPECT_EQ(hexDigitValue('F'), 15);
    EXPECT_EQ(hexDigitValue('g'), -1);
    EXPECT_EQ(hexDigitValue('/'), -1);
    EXPECT_EQ(hexDigitValue(':'), -1);
}

} // namespace
} // namespace ostrevan
