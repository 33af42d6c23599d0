#include "platform/ole/LinkObjects.h"

#include "platform/Error.h"
#include "tests/ole/Vectors.h"

#include <QFile>
#include <QJsonDocument>
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <stdexcept>
#include <tuple>

namespace ostrevan {
namespace {

using Expected = std::tuple<std::string, std::string, std::string, bool, bool>;

QString key(const char* name) {
    return QString::fromLatin1(name);
}

std::string fileOf(const QJsonObject& testCase) {
    const std::string file = vectors::text(testCase[key("file")]);
    return vectors::dataPath("compound/" + file.substr(file.rfind('/') + 1));
}

// storage, absolute, relative display form, absolute and relative Unicode part.
std::set<Expected> expectedLinks(const QJsonObject& testCase) {
    std::set<Expected> expected;
    for (const QJsonValue& value : testCase[key("expected_links")].toArray()) {
        const QJsonObject link = value.toObject();
        expected.emplace(
            vectors::text(link[key("storage")]), vectors::text(link[key("absolute_path")]),
            vectors::text(link[key("relative_path")]), link[key("absolute_unicode_part")].toBool(),
            link[key("relative_unicode_part")].toBool());
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
    for (const QJsonValue& value : vectors::cases("compound/documents.json")) {
        const QJsonObject testCase = value.toObject();
        if (testCase[key("malformed")].toBool()) {
            continue;
        }
        SCOPED_TRACE(vectors::text(testCase[key("id")]));
        const LinkObjects objects = readLinkObjects(fileOf(testCase));
        EXPECT_EQ(readLinks(objects), expectedLinks(testCase));
        EXPECT_TRUE(objects.skipped.empty());
        for (const QJsonValue& embedded : testCase[key("embedded_storages")].toArray()) {
            for (const LinkObject& link : objects.links) {
                EXPECT_NE(link.storage, vectors::text(embedded));
            }
        }
        ++documents;
    }
    EXPECT_EQ(documents, 10);
}

// The name of the document a damaged one was made from, from its sidecar file.
std::string originalOf(const QJsonObject& damaged) {
    const std::string sidecar = vectors::text(damaged[key("sidecar")]);
    QFile file(QString::fromStdString(
        vectors::dataPath("compound/" + sidecar.substr(sidecar.rfind('/') + 1))));
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("cannot read " + sidecar);
    }
    return vectors::text(QJsonDocument::fromJson(file.readAll()).object()[key("derived_from")]);
}

// The storages of the links of the document a damaged one was made from.
std::set<std::string> linksOfTheOriginal(const QJsonObject& damaged) {
    const std::string original = originalOf(damaged);
    std::set<std::string> storages;
    for (const QJsonValue& value : vectors::cases("compound/documents.json")) {
        const std::string file = vectors::text(value.toObject()[key("file")]);
        if (file.ends_with("/" + original)) {
            for (const Expected& link : expectedLinks(value.toObject())) {
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
    for (const QJsonValue& value : vectors::cases("compound/documents.json")) {
        const QJsonObject testCase = value.toObject();
        if (!testCase[key("malformed")].toBool()) {
            continue;
        }
        const std::string id = vectors::text(testCase[key("id")]);
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
