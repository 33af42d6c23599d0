// The INI class: what it hands the profile functions, what it makes of their answers, and
// its own reading of section headers.

#include "storage/clsSystemInitFile.h"

#include "platform/posix/ProfileEngine.h"
#include "tests/support/TempFolder.h"
#include "tests/storage/InitFileFakes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ostrevan {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Names = std::vector<std::string>;

// The class over recording profile functions.
class InitFileCallsTest : public ::testing::Test {
protected:
    test::TextFileSystem m_files;
    test::RecordingProfile m_profile;
    clsSystemInitFile m_ini{m_files, m_profile};
};

TEST_F(InitFileCallsTest, EmptyPathOnlyIntegerAndBooleanReadsCallThePlatform) {
    m_profile.number = 9;
    Names list{"alt0", "alt1"};

    EXPECT_EQ(m_ini.ReadKeyValueStr("S", "k", "Vorgabe"), "");
    EXPECT_EQ(m_ini.ReadKeyValue("S", "k", "Vorgabe"), "");
    EXPECT_FALSE(m_ini.WriteKeyValue("S", "k", "v"));
    EXPECT_FALSE(m_ini.WriteKeyValueStr("S", "k", "v"));
    EXPECT_FALSE(m_ini.WriteKeyValueInt("S", "k", 1));
    EXPECT_FALSE(m_ini.WriteKeyValueBool("S", "k", true));
    EXPECT_FALSE(m_ini.DeleteSection("S"));
    EXPECT_FALSE(m_ini.DeleteKey("S", "k"));
    EXPECT_FALSE(m_ini.GetKeyNames("S", list));
    EXPECT_THAT(list, ElementsAre("alt0", "alt1"));
    EXPECT_TRUE(m_profile.calls.empty());

    EXPECT_EQ(m_ini.ReadKeyValueInt("S", "k", 4), 9);
    EXPECT_TRUE(m_ini.ReadKeyValueBool("S", "k"));
    ASSERT_EQ(m_profile.calls.size(), 2U);
    EXPECT_EQ(m_profile.calls[0].file, "");
    EXPECT_EQ(m_profile.calls[1].file, "");
}

TEST_F(InitFileCallsTest, StringReadUsesBlankBufferOf255AndStopsAtNul) {
    m_ini.setFile("Größe.ini");
    m_profile.answer = std::string("Wert\0Rest", 9);

    EXPECT_EQ(m_ini.ReadKeyValueStr("Maße", "Länge", "Vorgabe ä"), "Wert");

    ASSERT_EQ(m_profile.calls.size(), 1U);
    const test::ProfileCall& call = m_profile.calls[0];
    EXPECT_EQ(call.size, 255U);
    EXPECT_TRUE(call.blankBuffer);
    EXPECT_EQ(call.section, "Ma\xDF"
                            "e");
    EXPECT_EQ(call.key, "L\xE4nge");
    EXPECT_EQ(call.value, "Vorgabe \xE4");
    EXPECT_EQ(call.file, "Gr\xF6\xDF"
                         "e.ini");
}

TEST_F(InitFileCallsTest, StringReadTurnsAnsiBytesIntoText) {
    m_ini.setFile("a.ini");
    m_profile.answer = std::string("L\xE4nge \xB1 1\0", 10);
    EXPECT_EQ(m_ini.ReadKeyValue("S", "k"), "Länge ± 1");
    EXPECT_EQ(m_profile.calls.at(0).value, "");
}

TEST_F(InitFileCallsTest, BooleanReadPassesDefaultAsOneOrZeroAndTakesAnyNonZeroAsTrue) {
    m_ini.setFile("a.ini");
    m_profile.number = 0;
    EXPECT_FALSE(m_ini.ReadKeyValueBool("S", "k", true));
    m_profile.number = 0xFFFFFFFF;
    EXPECT_TRUE(m_ini.ReadKeyValueBool("S", "k"));
    m_profile.number = 2;
    EXPECT_TRUE(m_ini.ReadKeyValueBool("S", "k"));
    ASSERT_EQ(m_profile.calls.size(), 3U);
    EXPECT_EQ(m_profile.calls[0].number, 1);
    EXPECT_EQ(m_profile.calls[1].number, 0);
}

TEST_F(InitFileCallsTest, IntegerReadReturnsTheNumberAsSigned) {
    m_ini.setFile("a.ini");
    m_profile.number = 4294967291U;
    EXPECT_EQ(m_ini.ReadKeyValueInt("S", "k", -3), -5);
    EXPECT_EQ(m_profile.calls.at(0).number, -3);
}

TEST_F(InitFileCallsTest, WritesPassTextOneZeroDecimalAndNulls) {
    m_ini.setFile("a.ini");
    EXPECT_TRUE(m_ini.WriteKeyValueBool("S", "k", true));
    EXPECT_TRUE(m_ini.WriteKeyValueBool("S", "k", false));
    EXPECT_TRUE(m_ini.WriteKeyValueInt("S", "k", -2147483647 - 1));
    EXPECT_TRUE(m_ini.WriteKeyValueStr("S", "k", "ä"));
    EXPECT_TRUE(m_ini.DeleteKey("S", "k"));
    EXPECT_TRUE(m_ini.DeleteSection("S"));
    m_profile.written = false;
    EXPECT_FALSE(m_ini.WriteKeyValue("S", "k", "x"));

    ASSERT_EQ(m_profile.calls.size(), 7U);
    EXPECT_EQ(m_profile.calls[0].value, "1");
    EXPECT_EQ(m_profile.calls[1].value, "0");
    EXPECT_EQ(m_profile.calls[2].value, "-2147483648");
    EXPECT_EQ(m_profile.calls[3].value, "\xE4");
    EXPECT_EQ(m_profile.calls[4].key, "k");
    EXPECT_EQ(m_profile.calls[4].value, std::nullopt);
    EXPECT_EQ(m_profile.calls[5].key, std::nullopt);
    EXPECT_EQ(m_profile.calls[5].value, std::nullopt);
}

TEST_F(InitFileCallsTest, KeyNamesAskForTheListInA32767BlankBuffer) {
    m_ini.setFile("a.ini");
    m_profile.answer = std::string("a\0b\0\0", 5);
    Names list{"null", "x", "y", "z"};

    EXPECT_FALSE(m_ini.GetKeyNames("S", list));

    EXPECT_THAT(list, ElementsAre("null", "a", "b"));
    const test::ProfileCall& call = m_profile.calls.at(0);
    EXPECT_EQ(call.key, std::nullopt);
    EXPECT_EQ(call.value, "");
    EXPECT_EQ(call.size, 32767U);
    EXPECT_TRUE(call.blankBuffer);
}

TEST_F(InitFileCallsTest, KeyNamesOfACutListAndOfNoList) {
    m_ini.setFile("a.ini");
    Names list{"null", "x"};
    m_profile.answer = std::string(1, '\0');
    EXPECT_FALSE(m_ini.GetKeyNames("S", list));
    EXPECT_THAT(list, ElementsAre("null", "x"));

    // A list cut to the buffer: the last piece ends in two NULs at the buffer's end.
    m_profile.answer = std::string(32765, 'k') + std::string(2, '\0');
    EXPECT_FALSE(m_ini.GetKeyNames("S", list));
    ASSERT_EQ(list.size(), 2U);
    EXPECT_EQ(list[1].size(), 32765U);
}

struct SectionRow {
    const char* name;
    std::string text;
    bool result;
    Names expected;
};

class InitFileSectionNamesTest : public ::testing::TestWithParam<SectionRow> {};

TEST_P(InitFileSectionNamesTest, ReadsHeadersFromTheLines) {
    const SectionRow& row = GetParam();
    test::TextFileSystem files;
    test::RecordingProfile profile;
    files.add("/konfig/Bereiche.ini", row.text);
    clsSystemInitFile ini(files, profile);
    ini.setFile("Bereiche.ini");
    Names list{"null", "alt1", "alt2", "alt3", "alt4"};

    EXPECT_EQ(ini.GetSectionNames(list), row.result);
    EXPECT_EQ(list, row.expected);
    EXPECT_TRUE(profile.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, InitFileSectionNamesTest,
    ::testing::Values(
        SectionRow{
            "TwoHeaders", "[A]\r\na=1\r\n[Bereich]\r\nb=2\r\n", false, {"null", "A", "Bereich"}},
        SectionRow{"IndentedHeaderKeepsBracket", "  [X]\r\ny=2\r\n", false, {"null", "X]"}},
        SectionRow{"ValueInBracketsCounts", "[S]\na=[b]\n", false, {"null", "S", "b]"}},
        SectionRow{"CharactersNotBytes", "[Größe]\r[Maß]", false, {"null", "Größe", "Maß"}},
        SectionRow{"EmptyBrackets", "[]\r\n", false, {"null", ""}},
        SectionRow{
            "CloseBeforeOpenFailsWithSlotAdded", "[A]\r\n]x[\r\n[B]\r\n", true, {"null", "A", ""}},
        SectionRow{"NoHeaderLeavesListUntouched",
                   "a=1\r\n; [kein\r\n",
                   false,
                   {"null", "alt1", "alt2", "alt3", "alt4"}}),
    [](const ::testing::TestParamInfo<SectionRow>& info) { return std::string(info.param.name); });

TEST(InitFileSectionNames, MissingOrEmptyPathReturnsTrueAndKeepsList) {
    test::TextFileSystem files;
    test::RecordingProfile profile;
    clsSystemInitFile ini(files, profile);
    Names list{"null", "alt"};

    EXPECT_TRUE(ini.GetSectionNames(list));
    ini.setFile("fehlt.ini");
    EXPECT_TRUE(ini.GetSectionNames(list));
    EXPECT_THAT(list, ElementsAre("null", "alt"));
}

TEST(InitFileExists, LooksWhereTheProfileFunctionsLook) {
    test::TextFileSystem files;
    test::RecordingProfile profile;
    files.add("/konfig/da.ini", "");
    clsSystemInitFile ini(files, profile);
    EXPECT_FALSE(ini.FileExists());
    ini.setFile("da.ini");
    EXPECT_TRUE(ini.FileExists());
    ini.setFile("/konfig/fehlt.ini");
    EXPECT_FALSE(ini.FileExists());
}

// The class over the real engine in a temporary folder.
class InitFileOnDiskTest : public ::testing::Test {
protected:
    test::TempFolder m_temp;
    test::TextFileSystem m_files;
    ProfileEngine m_engine{m_temp.path()};
    clsSystemInitFile m_ini{m_files, m_engine};
};

TEST_F(InitFileOnDiskTest, ValueOf300CharactersReadsAs254) {
    m_ini.setFile("lang.ini");
    const std::string value(300, 'x');
    ASSERT_TRUE(m_ini.WriteKeyValue("S", "lang", value));
    EXPECT_EQ(m_ini.ReadKeyValueStr("S", "lang"), value.substr(0, 254));
}

TEST_F(InitFileOnDiskTest, MissingKeyGivesDefault) {
    m_ini.setFile("a.ini");
    ASSERT_TRUE(m_ini.WriteKeyValue("S", "da", "1"));
    EXPECT_EQ(m_ini.ReadKeyValueStr("S", "fehlt", "Vorgabe"), "Vorgabe");
    EXPECT_EQ(m_ini.ReadKeyValueInt("S", "fehlt", -7), -7);
    EXPECT_TRUE(m_ini.ReadKeyValueBool("S", "fehlt", true));
}

TEST_F(InitFileOnDiskTest, BooleansStoredAsOneAndZero) {
    const std::string file = m_temp.file("bool.ini", "[S]\r\nsieben=7\r\ntext=ja\r\n");
    m_ini.setFile(file);
    ASSERT_TRUE(m_ini.WriteKeyValueBool("S", "an", true));
    ASSERT_TRUE(m_ini.WriteKeyValueBool("S", "aus", false));
    EXPECT_EQ(test::readBytes(file), "[S]\r\nsieben=7\r\ntext=ja\r\nan=1\r\naus=0\r\n");
    EXPECT_TRUE(m_ini.ReadKeyValueBool("S", "an"));
    EXPECT_FALSE(m_ini.ReadKeyValueBool("S", "aus", true));
    EXPECT_TRUE(m_ini.ReadKeyValueBool("S", "sieben"));
    EXPECT_FALSE(m_ini.ReadKeyValueBool("S", "text", true));
}

TEST_F(InitFileOnDiskTest, IntegersAndTextRoundTrip) {
    m_ini.setFile("werte.ini");
    ASSERT_TRUE(m_ini.WriteKeyValueInt("Maße", "Höhe", -5));
    ASSERT_TRUE(m_ini.WriteKeyValueStr("Maße", "Einheit", "µm ± 1"));
    EXPECT_EQ(m_ini.ReadKeyValueInt("MASSE", "höhe"), 0) << "ß is no SS";
    EXPECT_EQ(m_ini.ReadKeyValueInt("MAßE", "HÖHE"), -5);
    EXPECT_EQ(m_ini.ReadKeyValue("maße", "einheit"), "µm ± 1");
    EXPECT_EQ(test::readBytes(m_temp.at("werte.ini")),
              "[Ma\xDF"
              "e]\r\nH\xF6he=-5\r\nEinheit=\xB5m \xB1 1\r\n");
}

TEST_F(InitFileOnDiskTest, KeyNamesOfSectionAndOfMissingSection) {
    m_ini.setFile(m_temp.file("keys.ini", "[S]\r\na=1\r\n;c=2\r\nb=2\r\n[T]\r\nx=1\r\n"));
    Names list{"null", "1", "2", "3", "4"};
    EXPECT_FALSE(m_ini.GetKeyNames("s", list));
    EXPECT_THAT(list, ElementsAre("null", "a", "b"));
    EXPECT_FALSE(m_ini.GetKeyNames("Fehlt", list));
    EXPECT_THAT(list, ElementsAre("null", "a", "b"));
}

TEST_F(InitFileOnDiskTest, DeletesReportSuccessAndRemoveLines) {
    m_ini.setFile(m_temp.file("del.ini", "[A]\r\na=1\r\nb=2\r\n[B]\r\nc=3\r\n"));
    EXPECT_TRUE(m_ini.DeleteKey("A", "a"));
    EXPECT_TRUE(m_ini.DeleteSection("B"));
    EXPECT_TRUE(m_ini.DeleteKey("Fehlt", "x"));
    EXPECT_EQ(test::readBytes(m_ini.File()), "[A]\r\nb=2\r\n");
}

TEST_F(InitFileOnDiskTest, WriteIntoMissingFolderFails) {
    m_ini.setFile(m_temp.at("fehlt/a.ini"));
    EXPECT_FALSE(m_ini.WriteKeyValue("S", "k", "v"));
    EXPECT_FALSE(m_ini.DeleteKey("S", "k"));
}

} // namespace
} // namespace ostrevan
