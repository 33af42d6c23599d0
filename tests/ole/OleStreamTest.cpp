#include "platform/ole/OleStream.h"

#include "platform/Text.h"
#include "tests/support/CompoundFixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace ostrevan {
namespace {

using fixture::Bytes;

// The worked example of a link to C:\Data\Welle.par: relative moniker in its minimal form
// (cAnti 1, no Unicode part), absolute moniker with a Unicode record.
Bytes workedExample() {
    return fixture::linkedObjectStream(fixture::fileMoniker("C:\\Data\\Welle.par"),
                                       fixture::fileMoniker("Welle.par", 1, false));
}

void put32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

TEST(OleStream, WorkedExampleGivesBothMonikers) {
    const Bytes bytes = workedExample();
    ASSERT_EQ(bytes.size(), 248u);
    const OleObject object = parseOleStream(bytes);
    ASSERT_EQ(object.kind, OleObject::Kind::Linked);
    EXPECT_EQ(object.absolute->path, "C:\\Data\\Welle.par");
    EXPECT_TRUE(object.absolute->unicodePart);
    EXPECT_EQ(object.relative->displayName(), "..\\Welle.par");
    EXPECT_FALSE(object.relative->unicodePart);
}

TEST(OleStream, EmbeddedObjectsInBothLengths) {
    Bytes bytes = fixture::embeddedObjectStream();
    EXPECT_EQ(parseOleStream(bytes).kind, OleObject::Kind::Embedded);
    bytes.resize(16);
    EXPECT_EQ(parseOleStream(bytes).kind, OleObject::Kind::Embedded);
}

struct Variant {
    const char* name;
    std::function<void(Bytes&)> change;
    OleObject::Kind kind;
    bool relativeKept = true;
};

// Offsets in the worked example: relative size at 0x14, its moniker data from 0x28, absolute
// size at 0x54, its data from 0x68.
const std::vector<Variant> kVariants = {
    {"unchanged", [](Bytes&) {}, OleObject::Kind::Linked},
    {"other version", [](Bytes& b) { b[3] = 1; }, OleObject::Kind::Damaged},
    {"shorter than the fixed fields", [](Bytes& b) { b.resize(12); }, OleObject::Kind::Damaged},
    {"linked but ends after the flags", [](Bytes& b) { b.resize(16); }, OleObject::Kind::Damaged},
    {"reserved moniker size beyond the end", [](Bytes& b) { put32(b, 0x10, 0x7FFFFFFF); },
     OleObject::Kind::Damaged},
    {"relative size 2", [](Bytes& b) { put32(b, 0x14, 2); }, OleObject::Kind::Damaged},
    {"absolute size 0", [](Bytes& b) { put32(b, 0x54, 0); }, OleObject::Kind::Damaged},
    {"absolute size 3", [](Bytes& b) { put32(b, 0x54, 3); }, OleObject::Kind::Damaged},
    {"absolute size beyond the end", [](Bytes& b) { put32(b, 0x54, 0x1000); },
     OleObject::Kind::Damaged},
    {"cut inside the absolute moniker", [](Bytes& b) { b.resize(0x90); }, OleObject::Kind::Damaged},
    {"tail missing", [](Bytes& b) { b.resize(0xC4); }, OleObject::Kind::Linked},
    {"absolute version not DEAD", [](Bytes& b) { b[0x82] = 0; }, OleObject::Kind::Damaged},
    {"absolute ansiLength 0", [](Bytes& b) { put32(b, 0x6A, 0); }, OleObject::Kind::Damaged},
    {"absolute ansiLength 40000", [](Bytes& b) { put32(b, 0x6A, 40000); },
     OleObject::Kind::Damaged},
    {"Unicode block larger than its records", [](Bytes& b) { put32(b, 0x98, 41); },
     OleObject::Kind::Damaged},
    {"Unicode record larger than its block", [](Bytes& b) { put32(b, 0x9C, 36); },
     OleObject::Kind::Damaged},
    {"unknown absolute moniker class", [](Bytes& b) { b[0x58] = 0x06; }, OleObject::Kind::Damaged},
    {"unusable relative moniker", [](Bytes& b) { b[0x3A] = 0; }, OleObject::Kind::Linked, false},
};

// Each variant of the stream, parsed; a link keeps the absolute path.
void expectVariants(const Bytes& stream, const std::vector<Variant>& variants,
                    const std::string& absolutePath) {
    for (const Variant& variant : variants) {
        SCOPED_TRACE(variant.name);
        Bytes bytes = stream;
        variant.change(bytes);
        const OleObject object = parseOleStream(bytes);
        EXPECT_EQ(object.kind, variant.kind);
        if (object.kind == OleObject::Kind::Linked) {
            EXPECT_EQ(object.absolute->path, absolutePath);
            EXPECT_EQ(object.relative.has_value(), variant.relativeKept);
        }
    }
}

TEST(OleStream, DamagedFieldsCostTheLinkOrOnlyTheRelativeMoniker) {
    expectVariants(workedExample(), kVariants, "C:\\Data\\Welle.par");
}

TEST(OleStream, OddMonikers) {
    const auto absoluteOf = [](const Bytes& moniker) {
        return parseOleStream(fixture::linkedObjectStream(moniker)).absolute;
    };
    const auto family = absoluteOf(fixture::compositeMoniker(
        {fixture::fileMoniker("C:\\Familie.asm"), fixture::itemMoniker("!", "Variante 2")}));
    ASSERT_TRUE(family);
    EXPECT_EQ(family->path, "C:\\Familie.asm");
    EXPECT_EQ(family->item, "!Variante 2");

    const auto climbing = absoluteOf(fixture::compositeMoniker(
        {fixture::antiMoniker(2), fixture::fileMoniker("Norm\\Stift.par", 1, false)}));
    ASSERT_TRUE(climbing);
    EXPECT_EQ(climbing->displayName(), "..\\..\\..\\Norm\\Stift.par");

    EXPECT_EQ(absoluteOf(fixture::urlMoniker("file:///C:/Daten/Gr%C3%B6%C3%9Fe.par"))->path,
              "C:\\Daten\\Größe.par");
    EXPECT_EQ(absoluteOf(fixture::urlMoniker("file://server/share/a.par"))->path,
              "\\\\server\\share\\a.par");
    EXPECT_EQ(absoluteOf(fixture::urlMoniker("file:///home/konstrukteur/a.par"))->path,
              "/home/konstrukteur/a.par");

    Bytes endless = fixture::compositeMoniker({});
    put32(endless, 16, 0xFFFFFFFF);
    EXPECT_FALSE(absoluteOf(endless));
    Bytes nested = fixture::fileMoniker("C:\\a.par");
    for (int i = 0; i < 20; ++i) {
        nested = fixture::compositeMoniker({nested});
    }
    EXPECT_FALSE(absoluteOf(nested));
    EXPECT_FALSE(absoluteOf(fixture::antiMoniker(2000000)));
}

// JSite553 of a Solid Edge ST7 draft (Engine1.dft): the absolute path as 8.3 ANSI form and
// long Unicode record, the relative one ANSI only, seven levels up.
Bytes solidEdgeExample() {
    return fixture::solidEdgeLinkStream(
        fixture::fileMoniker("C:\\Program Files\\Solid Edge ST7\\Training\\Engine1.asm", 0, true,
                             "C:\\PROGRA~1\\SOLIDE~1\\Training\\Engine1.asm"),
        fixture::fileMoniker("Program Files\\Solid Edge ST7\\Training\\Engine1.asm", 7, false));
}

TEST(OleStream, SolidEdgeLayoutGivesTheLongPathsOfBothMonikers) {
    const Bytes bytes = solidEdgeExample();
    // The layout and sizes of the real stream, byte for byte where it matters.
    ASSERT_EQ(bytes.size(), 326u);
    EXPECT_EQ(Bytes(bytes.begin() + 4, bytes.begin() + 16),
              (Bytes{0x64, 0, 0, 0, 0, 0, 0, 0, 0x03, 0x03, 0, 0}));
    EXPECT_EQ(Bytes(bytes.begin() + 0xD6, bytes.begin() + 0xDA), (Bytes{1, 0, 0, 0}));
    const OleObject object = parseOleStream(bytes);
    ASSERT_EQ(object.kind, OleObject::Kind::Linked);
    EXPECT_EQ(object.absolute->path, "C:\\Program Files\\Solid Edge ST7\\Training\\Engine1.asm");
    EXPECT_TRUE(object.absolute->unicodePart);
    ASSERT_TRUE(object.relative);
    EXPECT_EQ(object.relative->upLevels, 7);
    EXPECT_EQ(object.relative->path, "Program Files\\Solid Edge ST7\\Training\\Engine1.asm");
}

// Offsets in the example: the zero word at 8, the absolute moniker from 0x0C (its ansiLength
// at 0x1E, its Unicode block size at 0x64), has_relative at 0xD6, the relative moniker from
// 0xDA (cAnti at 0xEA), the trailer from 0x13E.
const std::vector<Variant> kSolidEdgeVariants = {
    {"unchanged", [](Bytes&) {}, OleObject::Kind::Linked},
    {"stale word of newer versions", [](Bytes& b) { put32(b, 8, 0x0012EF40); },
     OleObject::Kind::Linked},
    {"longer trailer", [](Bytes& b) { b.insert(b.end(), 52, 0xB9); }, OleObject::Kind::Linked},
    {"no trailer", [](Bytes& b) { b.resize(0x13E); }, OleObject::Kind::Linked},
    {"no relative moniker", [](Bytes& b) { put32(b, 0xD6, 0); }, OleObject::Kind::Linked, false},
    {"relative moniker cut off", [](Bytes& b) { b.resize(0x100); }, OleObject::Kind::Linked, false},
    {"ends after has_relative", [](Bytes& b) { b.resize(0xDA); }, OleObject::Kind::Linked, false},
    {"version 101", [](Bytes& b) { b[4] = 101; }, OleObject::Kind::Damaged},
    {"no file moniker where the layout puts it", [](Bytes& b) { b[0x0C] = 0x04; },
     OleObject::Kind::Damaged},
    {"only the fixed fields", [](Bytes& b) { b.resize(0x1C); }, OleObject::Kind::Damaged},
    {"cut inside the absolute moniker", [](Bytes& b) { b.resize(0x60); }, OleObject::Kind::Damaged},
    {"absolute ansiLength beyond the end", [](Bytes& b) { put32(b, 0x1E, 0x7000); },
     OleObject::Kind::Damaged},
    {"Unicode block beyond the end", [](Bytes& b) { put32(b, 0x64, 0x10000); },
     OleObject::Kind::Damaged},
};

TEST(OleStream, SolidEdgeLayoutBoundsEveryField) {
    expectVariants(solidEdgeExample(), kSolidEdgeVariants,
                   "C:\\Program Files\\Solid Edge ST7\\Training\\Engine1.asm");
}

TEST(OleStream, SolidEdgeLayoutCutAtEveryLengthNeverReadsBeyondIt) {
    const Bytes whole = solidEdgeExample();
    for (std::size_t length = 0; length < whole.size(); ++length) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        const OleObject object = parseOleStream(cut);
        // Up to the end of the absolute moniker nothing is a link; after it the link is.
        EXPECT_EQ(object.kind == OleObject::Kind::Linked, length >= 0xD6) << length;
    }
}

TEST(OleStream, AStepsPathWithALeadingBackslashReadsLikeOneWithout) {
    const auto relativeOf = [](std::string_view path, std::uint16_t cAnti) {
        return parseOleStream(
                   fixture::solidEdgeLinkStream(fixture::fileMoniker("C:\\A\\b.par"),
                                                fixture::fileMoniker(path, cAnti, false)))
            .relative;
    };
    EXPECT_EQ(relativeOf("\\b.par", 1)->displayName(), "..\\b.par");
    EXPECT_EQ(relativeOf("b.par", 1)->displayName(), "..\\b.par");
    EXPECT_EQ(relativeOf("\\Norm\\b.par", 2)->displayName(), "..\\..\\Norm\\b.par");
    EXPECT_EQ(relativeOf("..\\\\b.par", 0)->displayName(), "..\\b.par");
    // Without steps a leading backslash is a rooted path, and a UNC path stays one.
    EXPECT_EQ(relativeOf("\\b.par", 0)->displayName(), "\\b.par");
    EXPECT_EQ(relativeOf("\\\\srv\\b.par", 1)->path, "\\\\srv\\b.par");
}

TEST(OleStream, Utf16RoundTripKeepsCharactersBeyondTheBasicPlane) {
    const std::string text = "Čep 𝄞 ß";
    EXPECT_EQ(fromUtf16Le(toUtf16Le(text)), text);
    EXPECT_EQ(fromUtf16Le(Bytes{0x00, 0xD8, 0x41, 0x00}), "\xEF\xBF\xBD"
                                                          "A");
}

} // namespace
} // namespace ostrevan
