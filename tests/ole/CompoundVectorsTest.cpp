#include "platform/ole/LinkObjects.h"

#include "platform/Error.h"
#include "tests/ole/Vectors.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
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

TEST(CompoundVectors, MalformedDocumentsEndInBadFileFormatQuickly) {
    int documents = 0;
    for (const QJsonValue& value : vectors::cases("compound/documents.json")) {
        const QJsonObject testCase = value.toObject();
        if (!testCase[key("malformed")].toBool()) {
            continue;
        }
        SCOPED_TRACE(vectors::text(testCase[key("id")]));
        const auto error = trapError([&] { readLinkObjects(fileOf(testCase)); });
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->number(), err::BadFileFormat);
        ++documents;
    }
    EXPECT_EQ(documents, 6);
}

} // namespace
} // namespace ostrevan
