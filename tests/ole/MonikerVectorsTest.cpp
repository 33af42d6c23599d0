#include "platform/ole/LinkResolution.h"
#include "platform/ole/Moniker.h"

#include "tests/ole/Vectors.h"

#include <gtest/gtest.h>

#include <map>

namespace ostrevan {
namespace {

QString key(const char* name) {
    return QString::fromLatin1(name);
}

QJsonObject at(const QJsonObject& object, std::initializer_list<const char*> path) {
    QJsonObject current = object;
    for (const char* name : path) {
        current = current[key(name)].toObject();
    }
    return current;
}

// The saved bytes of a case: what OleSaveToStream wrote, or the hand-built input it loaded.
std::vector<std::uint8_t> savedBytes(const QJsonObject& testCase) {
    const QJsonObject input = testCase[key("input")].toObject();
    if (input.contains(key("bytes"))) {
        return vectors::bytes(input[key("bytes")]);
    }
    return vectors::bytes(at(testCase, {"moniker", "saved"})[key("bytes")]);
}

TEST(MonikerVectors, RecordedMonikersParseToTheirDisplayForm) {
    // Where our display form differs from the recording's: the recording ignores cAnti when
    // it displays a hand-built moniker, shows anti monikers as "\..", writes "..\" steps as
    // they came; we count every leading step, whatever the separator.
    const std::map<std::string, std::string> ours = {
        {"moniker.file.load_canti.1", "..\\..\\Teile\\Schraube.par"},
        {"moniker.file.load_canti.2", "..\\..\\x.par"},
        {"moniker.file.load_canti.3", "..\\Teile\\Welle.par"},
        {"moniker.file.forward_slash.2", "..\\Teile/Welle.par"},
        {"moniker.anti.1", "..\\"},
        {"moniker.anti.2", "..\\..\\..\\"},
        {"moniker.url.2", "C:\\Data\\Welle.par"},
    };
    int parsed = 0;
    for (const QJsonValue& value : vectors::cases("moniker/monikers.json")) {
        const QJsonObject testCase = value.toObject();
        const std::string id = vectors::text(testCase[key("id")]);
        SCOPED_TRACE(id);
        const auto target = parseMoniker(savedBytes(testCase));
        ASSERT_TRUE(target.has_value());
        const auto exception = ours.find(id);
        const std::string expected =
            exception != ours.end()
                ? exception->second
                : vectors::text(at(testCase, {"moniker", "display_name"})[key("text")]);
        EXPECT_EQ(target->displayName(), expected);
        const QJsonObject fields = testCase[key("input")].toObject().contains(key("bytes"))
                                       ? testCase[key("input")].toObject()[key("fields")].toObject()
                                       : at(testCase, {"moniker", "saved", "fields"});
        if (fields[key("kind")].toString() == key("file")) {
            EXPECT_EQ(target->unicodePart, fields[key("unicode_part")].toBool());
        }
        ++parsed;
    }
    EXPECT_EQ(parsed, 36);
}

TEST(MonikerVectors, PartsOfFlattenedMonikers) {
    const auto cases = vectors::cases("moniker/monikers.json");
    const auto find = [&](const char* id) {
        for (const QJsonValue& value : cases) {
            if (value.toObject()[key("id")].toString() == key(id)) {
                return parseMoniker(savedBytes(value.toObject())).value();
            }
        }
        throw std::runtime_error(id);
    };
    const MonikerTarget composite = find("moniker.composite.2");
    EXPECT_EQ(composite.path, "C:\\Data\\Mappe.xls");
    EXPECT_EQ(composite.item, "!Tabelle1!A1");
    const MonikerTarget relative = find("moniker.composite.3");
    EXPECT_EQ(relative.upLevels, 1);
    EXPECT_EQ(relative.path, "Mappe.xls");
    EXPECT_EQ(find("moniker.composite.4").item, "!Übersicht");
    const MonikerTarget canti = find("moniker.file.load_canti.1");
    EXPECT_EQ(canti.upLevels, 2);
    EXPECT_EQ(canti.path, "Teile\\Schraube.par");
    EXPECT_EQ(find("moniker.file.non_cp1252.1").path, "C:\\Daten\\Łódź.par");
    EXPECT_EQ(find("moniker.file.load_unicode.4").path, "C:\\März\\Teïl.par");
    const MonikerTarget url = find("moniker.url.1");
    EXPECT_TRUE(url.isUrl);
    EXPECT_EQ(url.path, "http://example.org/a.par");
    EXPECT_FALSE(find("moniker.url.2").isUrl);
    EXPECT_EQ(find("moniker.anti.2").upLevels, 3);
}

TEST(MonikerVectors, RelativeMonikersComposeWithTheirSourceAsRecorded) {
    int composed = 0;
    for (const QJsonValue& value : vectors::cases("moniker/relative.json")) {
        const QJsonObject testCase = value.toObject();
        const std::string id = vectors::text(testCase[key("id")]);
        SCOPED_TRACE(id);
        const auto relative =
            parseMoniker(vectors::bytes(at(testCase, {"result", "saved"})[key("bytes")]));
        ASSERT_TRUE(relative.has_value());
        const std::string source = vectors::text(at(testCase, {"input", "source"})[key("text")]);
        const auto applied = applyRelative(source, *relative);
        const QJsonObject composedWith = testCase[key("source_compose_with_result")].toObject();
        // Across drives or servers and to the source itself there is nothing to resolve.
        if (testCase[key("class")].toString() == key("moniker.relative.other_drive") ||
            !composedWith.contains(key("display_name"))) {
            EXPECT_FALSE(applied.has_value()) << *applied;
            continue;
        }
        ASSERT_TRUE(applied.has_value());
        EXPECT_EQ(*applied,
                  vectors::text(composedWith[key("display_name")].toObject()[key("text")]));
        ++composed;
    }
    EXPECT_EQ(composed, 10);
}

} // namespace
} // namespace ostrevan
