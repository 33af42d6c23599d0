#include "platform/ole/LinkResolution.h"
#include "platform/ole/Moniker.h"

#include "tests/ole/Vectors.h"

#include <gtest/gtest.h>

#include <map>

namespace ostrevan {
namespace {

using vectors::Json;

// The saved bytes of a case: what OleSaveToStream wrote, or the hand-built input it loaded.
std::vector<std::uint8_t> savedBytes(const Json& testCase) {
    const Json& input = testCase["input"];
    if (!input["bytes"].isMissing()) {
        return vectors::bytes(input["bytes"]);
    }
    return vectors::bytes(testCase["moniker"]["saved"]["bytes"]);
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
    const Json cases = vectors::cases("moniker/monikers.json");
    for (const Json& testCase : cases.items()) {
        const std::string& id = testCase["id"].text();
        SCOPED_TRACE(id);
        const auto target = parseMoniker(savedBytes(testCase));
        ASSERT_TRUE(target.has_value());
        const auto exception = ours.find(id);
        const std::string expected = exception != ours.end()
                                         ? exception->second
                                         : testCase["moniker"]["display_name"]["text"].text();
        EXPECT_EQ(target->displayName(), expected);
        const Json& fields = testCase["input"]["bytes"].isMissing()
                                 ? testCase["moniker"]["saved"]["fields"]
                                 : testCase["input"]["fields"];
        if (fields["kind"].text() == "file") {
            EXPECT_EQ(target->unicodePart, fields["unicode_part"].integer() != 0);
        }
        ++parsed;
    }
    EXPECT_EQ(parsed, 36);
}

TEST(MonikerVectors, PartsOfFlattenedMonikers) {
    const Json cases = vectors::cases("moniker/monikers.json");
    const auto find = [&](const char* id) {
        for (const Json& testCase : cases.items()) {
            if (testCase["id"].text() == id) {
                return parseMoniker(savedBytes(testCase)).value();
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
    const Json cases = vectors::cases("moniker/relative.json");
    for (const Json& testCase : cases.items()) {
        SCOPED_TRACE(testCase["id"].text());
        const auto relative = parseMoniker(vectors::bytes(testCase["result"]["saved"]["bytes"]));
        ASSERT_TRUE(relative.has_value());
        const std::string& source = testCase["input"]["source"]["text"].text();
        const auto applied = applyRelative(source, *relative);
        const Json& composedWith = testCase["source_compose_with_result"];
        // Across drives or servers and to the source itself there is nothing to resolve.
        if (testCase["class"].text() == "moniker.relative.other_drive" ||
            composedWith["display_name"].isMissing()) {
            EXPECT_FALSE(applied.has_value()) << *applied;
            continue;
        }
        ASSERT_TRUE(applied.has_value());
        EXPECT_EQ(*applied, composedWith["display_name"]["text"].text());
        ++composed;
    }
    EXPECT_EQ(composed, 10);
}

} // namespace
} // namespace ostrevan
