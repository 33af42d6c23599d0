#include "platform/ole/LinkObjects.h"

#include "platform/Error.h"
#include "tests/ole/Vectors.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <stdexcept>
#include <tuple>

namespace ostrevan {
namespace {

using Expected = std::tuple<std::string, std::string, std::string, bool, bool>;
using vectors::Json;

std::string fileOf(const Json& testCase) {
    const std::string& file = testCase["file"].text();
    return vectors::dataPath("compound/" + file.substr(file.rfind('/') + 1));
}

// storage, absolute, relative display form, absolute and relative Unicode part.
std::set<Expected> expectedLinks(const Json& testCase) {
    std::set<Expected> expected;
    for (const Json& link : testCase["expected_links"].items()) {
        expected.emplace(link["storage"].text(), link["absolute_path"].text(),
                         link["relative_path"].text(), link["absolute_unicode_part"].integer() != 0,
                         link["relative_unicode_part"].integer() != 0);
    }
    return expected;
}

std::set<Expected> readLinks(const LinkObjects& objects) {
    std::set<Expected> links;
    for (const LinkObject& link : objects.links) {
        links.emplace(link.storage, link.absolute.displayName(),
                      link.relative ? link.relative->displayName() : std::string(),
                      link.absolute.unicodePart, link.relative && link.relative->unicodePart);
    }
    return links;
}

TEST(CompoundVectors, EveryDocumentListsTheLinksItsSidecarNames) {
    int documents = 0;
    const Json cases = vectors::cases("compound/documents.json");
    for (const Json& testCase : cases.items()) {
        if (testCase["malformed"].integer() != 0) {
            continue;
        }
        SCOPED_TRACE(testCase["id"].text());
        const LinkObjects objects = readLinkObjects(fileOf(testCase));
        EXPECT_EQ(readLinks(objects), expectedLinks(testCase));
        EXPECT_TRUE(objects.skipped.empty());
        for (const Json& embedded : testCase["embedded_storages"].items()) {
            for (const LinkObject& link : objects.links) {
                EXPECT_NE(link.storage, embedded.text());
            }
        }
        ++documents;
    }
    EXPECT_EQ(documents, 10);
}

// The name of the document a damaged one was made from, from its sidecar file.
std::string originalOf(const Json& damaged) {
    const std::string& sidecar = damaged["sidecar"].text();
    const Json description = vectors::cases("compound/" + sidecar.substr(sidecar.rfind('/') + 1));
    return description["derived_from"].text();
}

// The storages of the links of the document a damaged one was made from.
std::set<std::string> linksOfTheOriginal(const Json& damaged) {
    const std::string original = originalOf(damaged);
    std::set<std::string> storages;
    const Json cases = vectors::cases("compound/documents.json");
    for (const Json& testCase : cases.items()) {
        if (testCase["file"].text().ends_with("/" + original)) {
            for (const Expected& link : expectedLinks(testCase)) {
                storages.insert(std::get<0>(link));
            }
        }
    }
    return storages;
}

// A stream whose chain loops or runs past the end of the file, or that claims more bytes
// than the file holds, is unreadable only itself, and a partial last sector reads as zeros:
// every link of the original document is still found. A looping chain of the mini stream, or
// a directory that goes on past the end of the file, ends the document in 321, in bounded
// time (Windows' reader hangs on the loops).
TEST(CompoundVectors, DamagedDocumentsAreReadAsWindowsReadsThemOrEndInBadFileFormat) {
    const std::set<std::string> refused = {"compound.malformed.fat_loop.malformed_fat_loop_c",
                                           "compound.malformed.truncated.malformed_truncated_a"};
    int opened = 0;
    const Json cases = vectors::cases("compound/documents.json");
    for (const Json& testCase : cases.items()) {
        if (testCase["malformed"].integer() == 0) {
            continue;
        }
        const std::string& id = testCase["id"].text();
        SCOPED_TRACE(id);
        const auto start = std::chrono::steady_clock::now();
        if (refused.contains(id)) {
            const auto error = trapError([&] { readLinkObjects(fileOf(testCase)); });
            ASSERT_TRUE(error.has_value());
            EXPECT_EQ(error->number(), err::BadFileFormat);
        } else {
            std::set<std::string> storages;
            for (const LinkObject& link : readLinkObjects(fileOf(testCase)).links) {
                storages.insert(link.storage);
            }
            EXPECT_EQ(storages, linksOfTheOriginal(testCase));
            ++opened;
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
    EXPECT_EQ(opened, 4);
}

} // namespace
} // namespace ostrevan
