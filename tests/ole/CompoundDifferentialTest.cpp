// Our compound-file reader against libgsf's, on every compound file at hand and on thousands
// of damaged copies of them. Where the two differ, the cases below say how and why ours is
// right.
#include "tests/ole/CompoundTrees.h"
#include "tests/ole/CompoundWriter.h"
#include "tests/ole/Mutants.h"
#include "tests/ole/Vectors.h"
#include "tests/support/CompoundFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <map>
#include <random>

namespace ostrevan {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::Tree;

struct Document {
    std::string name;
    Bytes bytes;
};

std::vector<Document> documentsIn(const fs::path& folder) {
    std::vector<Document> documents;
    if (!fs::is_directory(folder)) {
        return documents;
    }
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && extension != ".json" && extension != ".md") {
            const std::string bytes = test::readBytes(entry.path().string());
            documents.push_back(
                {entry.path().filename().string(), Bytes(bytes.begin(), bytes.end())});
        }
    }
    std::sort(documents.begin(), documents.end(),
              [](const Document& a, const Document& b) { return a.name < b.name; });
    return documents;
}

const fs::path& realFolder() {
    static const fs::path folder =
        fs::weakly_canonical(fs::path(OSTREVAN_TEST_DATA) / ".." / ".." / ".." / "shared" / "real");
    return folder;
}

std::vector<Document> ownDocuments() {
    std::vector<Document> documents = documentsIn(vectors::dataPath("compound"));
    documents.push_back({"sample v3", test::sampleDocument(3).bytes()});
    documents.push_back({"sample v4", test::sampleDocument(4).bytes()});
    test::CompoundWriter bigSectors(3, 12);
    bigSectors.addStream(bigSectors.addStorage(0, "JSite1"), "\x01Ole", test::patterned(200, 9));
    bigSectors.addStream(0, "Daten", test::patterned(9000, 8));
    documents.push_back({"v3 with 4096-byte sectors", bigSectors.bytes()});
    fixture::CompoundDocument links;
    links.addLink("JSite1", {"C:\\Daten\\Welle.par", "..\\Welle.par"})
        .addLink("Baugruppe/JSite2", {"C:\\Daten\\Mutter.par"})
        .addEmbeddedObject("JSite3")
        .addStream("Daten", Bytes(70000, 7));
    documents.push_back({"written by libgsf", links.bytes()});
    return documents;
}

// Why ours differs from libgsf on a whole file.
enum class Difference {
    None,
    // A stream whose size lies beyond the file: libgsf leaves it out, and with it the
    // siblings it would have reached through it; Windows lists it (see the reference read of
    // the malformed_size vectors), and so do we, as a stream that cannot be read.
    ListsStreamSizedBeyondTheFile,
    // A chain of the file's structure loops (the directory's, the mini stream's): libgsf reads
    // on with warnings, Windows hangs; we end the file in 321.
    StructureChainLoops,
    // A directory entry is reached twice (a child links back to its parent): libgsf warns and
    // shows what it reached first; the tree is damaged, we end the file in 321.
    DirectoryEntryReachedTwice,
    // The file ends before sectors of its directory: libgsf warns and shows the entries it
    // could read; we end the file in 321.
    DirectoryCutOff,
};

const std::map<std::string, Difference>& knownDifferences() {
    static const std::map<std::string, Difference> differences = {
        {"malformed_size_a.cfb", Difference::ListsStreamSizedBeyondTheFile},
        {"malformed_size_b.cfb", Difference::ListsStreamSizedBeyondTheFile},
        {"poi-spreadsheet-61300.xls", Difference::ListsStreamSizedBeyondTheFile},
        {"malformed_fat_loop_c.cfb", Difference::StructureChainLoops},
        {"openmcdf-CyclicFAT.cfs", Difference::StructureChainLoops},
        {"openmcdf-_thumbs_bug_24.db", Difference::DirectoryEntryReachedTwice},
        {"malformed_truncated_a.cfb", Difference::DirectoryCutOff},
    };
    return differences;
}

Difference knownDifference(const std::string& name) {
    const auto found = knownDifferences().find(name);
    return found != knownDifferences().end() ? found->second : Difference::None;
}

// Every path libgsf lists, we list alike; every stream both read has the same bytes. We may
// list more: streams libgsf leaves out, with their siblings.
void expectOursCoversLibgsfs(const Tree& ours, const Tree& theirs) {
    for (const auto& [path, node] : theirs) {
        const auto found = ours.find(path);
        ASSERT_NE(found, ours.end()) << "libgsf lists " << path << ", we do not";
        EXPECT_EQ(found->second.storage, node.storage) << path;
        if (found->second.bytes && node.bytes) {
            EXPECT_TRUE(*found->second.bytes == *node.bytes) << path << ": the bytes differ";
        }
    }
}

void compareOnWholeFile(const Document& document) {
    SCOPED_TRACE(document.name);
    const auto ours = test::readTree(document.bytes);
    const auto theirs = test::readTreeWithLibgsf(document.bytes);
    switch (knownDifference(document.name)) {
    case Difference::None:
        ASSERT_EQ(ours.has_value(), theirs.tree.has_value());
        if (ours) {
            EXPECT_EQ(test::describeDifferences(*ours, *theirs.tree), "");
        }
        break;
    case Difference::ListsStreamSizedBeyondTheFile: {
        ASSERT_TRUE(ours && theirs.tree);
        EXPECT_TRUE(theirs.complained);
        expectOursCoversLibgsfs(*ours, *theirs.tree);
        const bool unreadableOnlyOurs =
            std::any_of(ours->begin(), ours->end(), [&](const auto& node) {
                return !node.second.storage && !node.second.bytes &&
                       !theirs.tree->contains(node.first);
            });
        EXPECT_TRUE(unreadableOnlyOurs);
        break;
    }
    case Difference::StructureChainLoops:
    case Difference::DirectoryEntryReachedTwice:
    case Difference::DirectoryCutOff:
        EXPECT_FALSE(ours.has_value());
        EXPECT_TRUE(theirs.complained);
        break;
    }
}

TEST(CompoundDifferential, OursAndLibgsfAgreeOnEveryCompoundFileOfTheTests) {
    const std::vector<Document> documents = ownDocuments();
    ASSERT_GT(documents.size(), 15u);
    for (const Document& document : documents) {
        compareOnWholeFile(document);
    }
}

TEST(CompoundDifferential, OursAndLibgsfAgreeOnEveryRealDocument) {
    const std::vector<Document> documents = documentsIn(realFolder());
    if (documents.empty()) {
        GTEST_SKIP() << "no real documents at " << realFolder() << " (../shared/real)";
    }
    for (const Document& document : documents) {
        compareOnWholeFile(document);
    }
}

// The header fields we check and libgsf does not: version, byte order, sector shifts, the
// table counts (against the file's size, the mini FAT's against its chain), the mini stream
// cutoff.
bool checkedHeaderFieldChanged(const Bytes& original, const Bytes& mutant) {
    constexpr std::array<std::pair<std::size_t, std::size_t>, 5> fields = {
        {{0x1A, 0x22}, {0x2C, 0x30}, {0x38, 0x3C}, {0x40, 0x44}, {0x48, 0x4C}}};
    return std::any_of(fields.begin(), fields.end(), [&](const auto& field) {
        for (std::size_t at = field.first; at < field.second; ++at) {
            if (at >= mutant.size() || mutant[at] != original[at]) {
                return true;
            }
        }
        return false;
    });
}

// The root entry's name length (libgsf does not look at it) or its size, which is the mini
// stream's: libgsf reads the mini stream as far as its chain goes, whatever the size says;
// we check every small stream against that size, so a size beyond the chain is damage.
bool rootEntryFieldChanged(const Bytes& original, const Bytes& mutant) {
    const std::size_t root = test::rootEntryOffset(original);
    for (std::size_t at = root + 0x40; at < root + 0x42; ++at) {
        if (at >= mutant.size() || mutant[at] != original[at]) {
            return true;
        }
    }
    for (std::size_t at = root + 0x78; at < root + 0x80; ++at) {
        if (at >= mutant.size() || mutant[at] != original[at]) {
            return true;
        }
    }
    return false;
}

struct MutantTally {
    int total = 0;
    int bothOpen = 0;
    int oursRefusedWhereLibgsfHidDamage = 0;
    double slowestSeconds = 0;
};

void compareOnMutants(const Document& document, int count, std::mt19937& random,
                      MutantTally& tally) {
    const auto original = test::readTreeWithLibgsf(document.bytes);
    for (const test::Mutant& mutant : test::mutantsOf(document.bytes, count, random)) {
        SCOPED_TRACE(document.name + ": " + mutant.what);
        const auto start = std::chrono::steady_clock::now();
        const auto ours = test::readTree(mutant.bytes);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        tally.slowestSeconds = std::max(tally.slowestSeconds, took.count());
        // A hang guard, not a speed test: the benchmark measures the time per mutant.
        ASSERT_LT(took.count(), 2.0);
        ++tally.total;

        const auto theirs = test::readTreeWithLibgsf(mutant.bytes);
        if (ours && theirs.tree) {
            ++tally.bothOpen;
            expectOursCoversLibgsfs(*ours, *theirs.tree);
        } else if (!ours && theirs.tree && !theirs.complained) {
            // libgsf opened the file without a word, yet it is damaged: either libgsf shows a
            // different document than before (it skipped what it could not read), or a field
            // changed that we check and libgsf ignores.
            const bool explained = theirs.tree != original.tree ||
                                   checkedHeaderFieldChanged(document.bytes, mutant.bytes) ||
                                   rootEntryFieldChanged(document.bytes, mutant.bytes);
            EXPECT_TRUE(explained) << "we refuse a file libgsf reads unchanged";
            tally.oursRefusedWhereLibgsfHidDamage += explained ? 1 : 0;
        }
        // Where libgsf refuses and we open, libgsf objected to parts no chain of the file
        // uses: it loads and checks the whole FAT and DIFAT at open, we read the table
        // sectors that the chains we follow need.
    }
}

TEST(CompoundDifferential, OnThousandsOfDamagedCopiesWhatBothReadIsTheSame) {
    std::mt19937 random(20261207);
    MutantTally tally;
    for (const Document& document : ownDocuments()) {
        compareOnMutants(document, 250, random, tally);
    }
    EXPECT_GE(tally.total, 4000);
    // The comparison has something to compare.
    EXPECT_GT(tally.bothOpen, tally.total / 5);
    RecordProperty("slowest_ms", static_cast<int>(tally.slowestSeconds * 1000));
}

TEST(CompoundDifferential, OnDamagedCopiesOfRealDocumentsWhatBothReadIsTheSame) {
    const std::vector<Document> documents = documentsIn(realFolder());
    if (documents.empty()) {
        GTEST_SKIP() << "no real documents at " << realFolder() << " (../shared/real)";
    }
    std::mt19937 random(7);
    MutantTally tally;
    for (const Document& document : documents) {
        if (knownDifference(document.name) == Difference::None && test::readTree(document.bytes)) {
            compareOnMutants(document, 12, random, tally);
        }
    }
    EXPECT_GT(tally.bothOpen, tally.total / 5);
}

} // namespace
} // namespace ostrevan
