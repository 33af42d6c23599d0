#include "platform/ole/LinkObjects.h"

#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/ole/FileInput.h"
#include "tests/support/CompoundFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace ostrevan {
namespace {

using fixture::CompoundDocument;
using fixture::FixtureLink;

std::vector<std::string> storagesOf(const LinkObjects& objects) {
    std::vector<std::string> storages;
    for (const LinkObject& link : objects.links) {
        storages.push_back(link.storage);
    }
    return storages;
}

LinkObjects readBytes(const fixture::Bytes& bytes) {
    MemoryInput input(bytes);
    return readLinkObjects(input);
}

std::int32_t errorReading(const std::string& path) {
    const auto error = trapError([&] { readLinkObjects(path); });
    return error ? error->number() : 0;
}

std::int32_t errorReading(const fixture::Bytes& bytes) {
    const auto error = trapError([&] { readBytes(bytes); });
    return error ? error->number() : 0;
}

const FixtureLink kWelle{"C:\\Data\\Teile\\Welle.par", "..\\Teile\\Welle.par"};

TEST(LinkObjects, WalksNestedStoragesInPreOrderAndStoredSiblingOrder) {
    CompoundDocument document;
    document.addLink("JSite10", kWelle)
        .addLink("JSite2", kWelle)
        .addLink("Modelle/Unter/JSite1", kWelle)
        .addStorage("Leer")
        .addLink("Modelle/JSite4", kWelle)
        .addEmbeddedObject("JSite3");
    // Shorter names sort first in a compound file (JSite2 before JSite10, Unter before
    // JSite4); a storage's sub-storages come right after it.
    EXPECT_EQ(
        storagesOf(readBytes(document.bytes())),
        (std::vector<std::string>{"JSite2", "JSite10", "Modelle/Unter/JSite1", "Modelle/JSite4"}));
}

TEST(LinkObjects, ReadsBothMonikersAsSolidEdgeWritesThem) {
    CompoundDocument document;
    document.addLink("JSite1", {"C:\\Projekt\\Čep\\Šroub.par", "..\\..\\Čep\\Šroub.par"})
        .addLink("JSite2", {"\\\\server\\norm\\Mutter M6.par"});
    const LinkObjects objects = readBytes(document.bytes());
    ASSERT_EQ(objects.links.size(), 2u);
    EXPECT_EQ(objects.links[0].absolute.path, "C:\\Projekt\\Čep\\Šroub.par");
    EXPECT_TRUE(objects.links[0].absolute.unicodePart);
    ASSERT_TRUE(objects.links[0].relative);
    EXPECT_EQ(objects.links[0].relative->upLevels, 2);
    EXPECT_EQ(objects.links[0].relative->path, "Čep\\Šroub.par");
    EXPECT_EQ(objects.links[1].absolute.path, "\\\\server\\norm\\Mutter M6.par");
    EXPECT_FALSE(objects.links[1].relative);
}

TEST(LinkObjects, SolidEdgeSitesAtTheRootAndInEveryStorageOfAFamily) {
    const FixtureLink welle{"C:\\Familie\\Welle.par", "..\\Welle.par"};
    const FixtureLink platte{"C:\\Familie\\Platte.psm", "..\\\\Platte.psm"};
    CompoundDocument document;
    document.addSolidEdgeLink("FamilyMember2/JSite38", welle)
        .addSolidEdgeLink("FamilyMember1/JSite54", platte)
        .addSolidEdgeLink("Master\x01/JSite54", platte)
        .addSolidEdgeLink("Master\x01/JSite38", welle)
        .addStream("FamilyMember1/JSitesList", {'O', 'L', 'E', 'M', 1, 0, 0, 0, 54, 0, 0, 0})
        // A draft view and a picture: sites without "\x01Ole" are no links.
        .addStream("JSite539/JProperties", {'O', 'L', 'E', 'S', 0, 0, 3, 0})
        .addStream("JSite540/JImageData", {0x89, 'P', 'N', 'G'})
        // The documents that use this one, not links of it.
        .addSolidEdgeLink("JReverseLinks/JReverseSiteInfo317", welle);
    const LinkObjects objects = readBytes(document.bytes());
    EXPECT_EQ(storagesOf(objects),
              (std::vector<std::string>{"Master\x01/JSite38", "Master\x01/JSite54",
                                        "FamilyMember1/JSite54", "FamilyMember2/JSite38"}));
    EXPECT_TRUE(objects.skipped.empty());
    ASSERT_EQ(objects.links.size(), 4u);
    EXPECT_EQ(objects.links[1].absolute.path, "C:\\Familie\\Platte.psm");
    EXPECT_EQ(objects.links[1].relative->displayName(), "..\\Platte.psm");
}

TEST(LinkObjects, ADamagedObjectCostsOnlyItsOwnLink) {
    fixture::Bytes truncated = fixture::linkedObjectStream(fixture::fileMoniker("C:\\a.par"));
    truncated.resize(40);
    CompoundDocument document;
    document.addLink("JSite1", kWelle)
        .addLinkObject("JSite2", truncated)
        .addLinkObject("JSite3", {})
        .addLink("JSite4", kWelle);
    const LinkObjects objects = readBytes(document.bytes());
    EXPECT_EQ(storagesOf(objects), (std::vector<std::string>{"JSite1", "JSite4"}));
    EXPECT_EQ(objects.skipped, (std::vector<std::string>{"JSite2", "JSite3"}));
}

std::uint32_t u32At(const fixture::Bytes& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset] | (bytes[offset + 1] << 8) |
                                      (bytes[offset + 2] << 16) | (bytes[offset + 3] << 24));
}

// The offsets of the directory entries named name in a document written by the fixture
// (512-byte sectors, one FAT sector).
std::vector<std::size_t> directoryEntries(const fixture::Bytes& bytes, const std::string& name) {
    const std::size_t fat = (u32At(bytes, 0x4C) + 1) * 512;
    const fixture::Bytes utf16 = toUtf16Le(name);
    std::vector<std::size_t> entries;
    for (std::uint32_t sector = u32At(bytes, 0x30); sector < 0xFFFFFFFA;
         sector = u32At(bytes, fat + 4 * sector)) {
        for (std::size_t entry = (sector + 1) * 512; entry < (sector + 2) * 512; entry += 128) {
            if (std::equal(utf16.begin(), utf16.end(), bytes.begin() + static_cast<long>(entry)) &&
                bytes[entry + utf16.size()] == 0) {
                entries.push_back(entry);
            }
        }
    }
    return entries;
}

void put32(fixture::Bytes& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

TEST(LinkObjects, AStreamWhoseChainIsBrokenCostsOnlyItsOwnLink) {
    fixture::Bytes big = fixture::linkedObjectStream(fixture::fileMoniker("C:\\a.par"));
    big.resize(5000, 0);
    CompoundDocument document;
    document.addSolidEdgeLink("JSite1", kWelle)
        .addLinkObject("JSite2", big)
        .addSolidEdgeLink("JSite3", kWelle);
    fixture::Bytes bytes = document.bytes();
    ASSERT_EQ(readBytes(bytes).links.size(), 3u);
    // The only large stream: its first sector now leads nowhere.
    for (const std::size_t entry : directoryEntries(bytes, "\x01Ole")) {
        if (u32At(bytes, entry + 0x78) >= 4096) {
            const std::size_t fat = (u32At(bytes, 0x4C) + 1) * 512;
            put32(bytes, fat + 4 * u32At(bytes, entry + 0x74), 0xFFFFFFFF);
        }
    }
    const LinkObjects objects = readBytes(bytes);
    EXPECT_EQ(storagesOf(objects), (std::vector<std::string>{"JSite1", "JSite3"}));
    EXPECT_EQ(objects.skipped, (std::vector<std::string>{"JSite2"}));
}

TEST(LinkObjects, AStreamLongerThanTheFileCostsNoOtherLink) {
    CompoundDocument document;
    document.addSolidEdgeLink("JSite1", kWelle)
        .addStream("Vorschau/Bild", fixture::Bytes(100, 1))
        .addSolidEdgeLink("JSite2", kWelle);
    fixture::Bytes bytes = document.bytes();
    put32(bytes, directoryEntries(bytes, "Bild").at(0) + 0x78, 0x7FFFFFFF);
    const LinkObjects objects = readBytes(bytes);
    EXPECT_EQ(storagesOf(objects), (std::vector<std::string>{"JSite1", "JSite2"}));
    EXPECT_TRUE(objects.skipped.empty());
}

TEST(LinkObjects, APartialLastSectorReadsAsZeros) {
    CompoundDocument document;
    document.addSolidEdgeLink("JSite1", kWelle).addStream("Daten", fixture::Bytes(8000, 1));
    const fixture::Bytes bytes = document.bytes();
    for (const std::size_t extra : {1u, 100u, 511u}) {
        SCOPED_TRACE(extra);
        fixture::Bytes longer = bytes;
        longer.resize(bytes.size() + extra, 0xAB);
        EXPECT_EQ(storagesOf(readBytes(longer)), (std::vector<std::string>{"JSite1"}));
    }
}

TEST(LinkObjects, ALinkStreamBeyondTheMiniStreamCutoffIsRead) {
    fixture::Bytes big = fixture::linkedObjectStream(fixture::fileMoniker("C:\\a.par"));
    big.resize(10000, 0);
    CompoundDocument document;
    document.addLinkObject("JSite1", big);
    EXPECT_EQ(storagesOf(readBytes(document.bytes())), (std::vector<std::string>{"JSite1"}));
}

TEST(LinkObjects, StoragesTooDeepToWalkAreSkipped) {
    std::string deep = "S";
    for (int i = 0; i < 40; ++i) {
        deep += "/S";
    }
    CompoundDocument document;
    document.addLink(deep + "/JSite1", kWelle).addLink("JSite2", kWelle);
    const LinkObjects objects = readBytes(document.bytes());
    EXPECT_EQ(storagesOf(objects), (std::vector<std::string>{"JSite2"}));
    ASSERT_EQ(objects.skipped.size(), 1u);
}

TEST(LinkObjects, ReadsOnlyASmallPartOfALargeDocument) {
    test::TempFolder folder;
    const std::string path = folder.at("Groß.asm");
    fixture::writeCompoundDocument(path, {kWelle, kWelle, kWelle}, 4 << 20);
    FileInput input(path);
    EXPECT_EQ(readLinkObjects(input).links.size(), 3u);
    EXPECT_LT(input.bytesRead(), 64u * 1024u);
    EXPECT_GT(std::filesystem::file_size(path), 4u << 20);
}

TEST(LinkObjects, ReadsAsMuchOfALargeDocumentAsOfASmallOne) {
    // Laid out as libgsf's writer does: the data, then the mini stream, the directory and
    // the allocation table, whose sectors grow in number with the file.
    test::TempFolder folder;
    std::vector<std::uint64_t> bytesRead;
    std::vector<std::uint64_t> reads;
    for (const std::size_t padding : {std::size_t{60} << 10, std::size_t{4} << 20}) {
        const std::string path = folder.at("Baugruppe " + std::to_string(padding) + ".asm");
        fixture::writeCompoundDocument(path, {kWelle, kWelle, kWelle, kWelle, kWelle}, padding);
        FileInput input(path);
        EXPECT_EQ(readLinkObjects(input).links.size(), 5u);
        bytesRead.push_back(input.bytesRead());
        reads.push_back(input.reads());
    }
    EXPECT_LE(bytesRead[1], bytesRead[0] + bytesRead[0] / 10);
    // The table sector the large document needs lies apart from the directory.
    EXPECT_LE(reads[1], reads[0] + 1);
}

TEST(LinkObjects, FindsALinkAmongThousandsOfSiblingsInALongChain) {
    // libgsf's writer chains siblings into one long list; the reader walks it without
    // recursion (a hundred thousand of them: CompoundFile.WalksAHundredThousandSiblingsInAChain).
    test::TempFolder folder;
    const std::string path = folder.at("Viele Einträge.asm");
    CompoundDocument document;
    for (int i = 0; i < 6000; ++i) {
        document.addStream("S" + std::to_string(i), {1});
    }
    document.addLink("JSite1", kWelle).addStream("Daten", fixture::Bytes(2 << 20, 0));
    document.write(path);
    EXPECT_EQ(readLinkObjects(path).links.size(), 1u);
}

TEST(LinkObjects, FilesThatAreNoCompoundDocumentsAreBadFileFormat) {
    test::TempFolder folder;
    EXPECT_EQ(errorReading(folder.file("leer.par")), err::BadFileFormat);
    EXPECT_EQ(errorReading(folder.file("text.par", "Keine Baugruppe\r\n")), err::BadFileFormat);
    EXPECT_EQ(errorReading(folder.folder("Ordner.asm")), err::BadFileFormat);
    ASSERT_EQ(mkfifo(folder.at("rohr.par").c_str(), 0600), 0);
    EXPECT_EQ(errorReading(folder.at("rohr.par")), err::BadFileFormat);
    EXPECT_EQ(errorReading(fixture::Bytes(4096, 0)), err::BadFileFormat);
}

TEST(LinkObjects, MissingAndUnreadableFiles) {
    test::TempFolder folder;
    EXPECT_EQ(errorReading(folder.at("fehlt.par")), err::FileNotFound);
    EXPECT_EQ(errorReading(folder.at("fehlt/a.par")), err::FileNotFound);
    const std::string locked = folder.at("gesperrt.par");
    fixture::writeCompoundDocument(locked, {kWelle});
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    test::expectUnprivileged([&] {
        const std::int32_t number = errorReading(locked);
        return number == err::PermissionDenied ? std::string() : "got " + std::to_string(number);
    });
}

TEST(LinkObjects, DamagedContainersAreBadFileFormat) {
    CompoundDocument document;
    document.addLink("JSite1", kWelle).addStream("Daten", fixture::Bytes(8000, 1));
    const fixture::Bytes good = document.bytes();
    ASSERT_EQ(readBytes(good).links.size(), 1u);

    struct Damage {
        const char* name;
        std::function<void(fixture::Bytes&)> apply;
    };
    const std::vector<Damage> damages = {
        {"cut by whole sectors",
         [](fixture::Bytes& b) {
             b.resize(b.size() - 4096);
         }},
        {"cut to the header",
         [](fixture::Bytes& b) {
             b.resize(512);
         }},
        {"sector size 1024",
         [](fixture::Bytes& b) {
             b[0x1E] = 10;
         }},
        {"big-endian byte order",
         [](fixture::Bytes& b) {
             std::swap(b[0x1C], b[0x1D]);
         }},
        {"mini stream cutoff 0",
         [](fixture::Bytes& b) {
             b[0x39] = 0;
         }},
        {"no FAT sector",
         [](fixture::Bytes& b) {
             b[0x2C] = 0;
         }},
        {"directory beyond the file",
         [](fixture::Bytes& b) {
             b[0x30] = 0xF0;
         }},
        {"root entry with a sibling",
         [](fixture::Bytes& b) {
             const std::size_t left = (b[0x30] + 1) * 512 + 0x44;
             std::fill(b.begin() + left, b.begin() + left + 4, 0);
             b[left] = 1;
         }},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        fixture::Bytes damaged = good;
        damage.apply(damaged);
        EXPECT_EQ(errorReading(damaged), err::BadFileFormat);
    }
}

} // namespace
} // namespace ostrevan
