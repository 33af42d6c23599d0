#include "platform/ole/LinkObjects.h"

#include "platform/Error.h"
#include "platform/ole/FileInput.h"
#include "platform/ole/LargeStack.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Unprivileged.h"
#include "tests/support/CompoundFixture.h"

#include <gsf/gsf-input-memory.h>
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
    GObjectPtr<GsfInput> input(
        gsf_input_memory_new(bytes.data(), static_cast<gsf_off_t>(bytes.size()), FALSE));
    return readLinkObjects(input.get());
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
    const GObjectPtr<GsfInput> input = openFileInput(path);
    EXPECT_EQ(readLinkObjects(input.get()).links.size(), 3u);
    EXPECT_LT(fileInputBytesRead(input.get()), 64u * 1024u);
    EXPECT_GT(std::filesystem::file_size(path), 4u << 20);
}

TEST(LinkObjects, LongSiblingChainsDoNotExhaustTheStack) {
    // libgsf's writer chains siblings into one long list, and its reader recurses along it.
    // 6000 entries need more than the 1 MiB stack this test runs on.
    test::TempFolder folder;
    const std::string path = folder.at("Viele Einträge.asm");
    CompoundDocument document;
    for (int i = 0; i < 6000; ++i) {
        document.addStream("S" + std::to_string(i), {1});
    }
    document.addLink("JSite1", kWelle).addStream("Daten", fixture::Bytes(2 << 20, 0));
    document.write(path);
    std::size_t links = 0;
    runWithStack(1 << 20, [&] { links = readLinkObjects(path).links.size(); });
    EXPECT_EQ(links, 1u);
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
        {"cut inside a sector",
         [](fixture::Bytes& b) {
             b.resize(b.size() - 100);
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
