// A write changes only the lines it concerns: every other byte of the file stays.

#include "platform/Text.h"
#include "platform/posix/ProfileEngine.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace ostrevan {
namespace {

struct EditRow {
    const char* name;
    std::string before;
    std::string section;
    std::optional<std::string> key;
    std::optional<std::string> value;
    std::string after;
};

void PrintTo(const EditRow& row, std::ostream* out) {
    *out << row.name;
}

class ProfileEditTest : public ::testing::TestWithParam<EditRow> {};

TEST_P(ProfileEditTest, KeepsUntouchedLinesByteForByte) {
    const EditRow& row = GetParam();
    const test::TempFolder temp;
    const std::string file = temp.file("Größe und Maß.ini", row.before);
    ProfileEngine engine(temp.path());

    const auto key = row.key ? AnsiArgument(*row.key) : std::nullopt;
    const auto value = row.value ? AnsiArgument(*row.value) : std::nullopt;
    EXPECT_TRUE(engine.WritePrivateProfileString(row.section, key, value, toWindows1252(file)));
    EXPECT_EQ(test::readBytes(file), row.after);
}

const std::string kMixed = "; Einstellungen\r\n"
                           "\r\n"
                           "[Anzeige]\r\n"
                           "  Farbe = blau   \r\n"
                           "\tBreite\t=\t80\r\n"
                           "; H\xF6he in mm\r\n"
                           "H\xF6he=12\r\n"
                           "\r\n"
                           "\r\n"
                           "[Pfade]\n"
                           "Daten = /home/x\n";

INSTANTIATE_TEST_SUITE_P(
    Lines, ProfileEditTest,
    ::testing::Values(
        EditRow{"ReplaceKeepsIndentAndBlanksAroundEquals", kMixed, "anzeige", "FARBE", "rot",
                "; Einstellungen\r\n\r\n[Anzeige]\r\n  Farbe = rot\r\n\tBreite\t=\t80\r\n"
                "; H\xF6he in mm\r\nH\xF6he=12\r\n\r\n\r\n[Pfade]\nDaten = /home/x\n"},
        EditRow{"ReplaceInLfOnlySectionKeepsLf", kMixed, "Pfade", "Daten", "/srv",
                "; Einstellungen\r\n\r\n[Anzeige]\r\n  Farbe = blau   \r\n\tBreite\t=\t80\r\n"
                "; H\xF6he in mm\r\nH\xF6he=12\r\n\r\n\r\n[Pfade]\nDaten = /srv\n"},
        EditRow{"ReplaceWithEmptyEndsAtEquals", kMixed, "Anzeige", "Breite", "",
                "; Einstellungen\r\n\r\n[Anzeige]\r\n  Farbe = blau   \r\n\tBreite\t=\r\n"
                "; H\xF6he in mm\r\nH\xF6he=12\r\n\r\n\r\n[Pfade]\nDaten = /home/x\n"},
        EditRow{"NonAsciiKeyFoldsCase", kMixed, "Anzeige", "H\xD6HE", "15",
                "; Einstellungen\r\n\r\n[Anzeige]\r\n  Farbe = blau   \r\n\tBreite\t=\t80\r\n"
                "; H\xF6he in mm\r\nH\xF6he=15\r\n\r\n\r\n[Pfade]\nDaten = /home/x\n"},
        EditRow{"NewKeyAfterLastKeyBeforeBlankLines", kMixed, "Anzeige", "Tiefe", "3",
                "; Einstellungen\r\n\r\n[Anzeige]\r\n  Farbe = blau   \r\n\tBreite\t=\t80\r\n"
                "; H\xF6he in mm\r\nH\xF6he=12\r\nTiefe=3\r\n\r\n\r\n[Pfade]\nDaten = /home/x\n"},
        EditRow{"NewKeyInLastSectionOfLfFile", "[S]\na=1\n", "S", "b", "2", "[S]\na=1\nb=2\r\n"},
        EditRow{"NewSectionAfterLastLineWithoutEnd", "[S]\r\na=1", "T", "k", "v",
                "[S]\r\na=1\r\n[T]\r\nk=v\r\n"},
        EditRow{"DeleteKeyRemovesOnlyItsLine", kMixed, "Anzeige", "Breite", std::nullopt,
                "; Einstellungen\r\n\r\n[Anzeige]\r\n  Farbe = blau   \r\n"
                "; H\xF6he in mm\r\nH\xF6he=12\r\n\r\n\r\n[Pfade]\nDaten = /home/x\n"},
        EditRow{"DeleteSectionUpToNextHeader", kMixed, "Anzeige", std::nullopt, std::nullopt,
                "; Einstellungen\r\n\r\n[Pfade]\nDaten = /home/x\n"},
        EditRow{"DeleteEverySectionOfTheName", "[S]\r\na=1\r\n[T]\r\nb=2\r\n[s]\r\nc=3\r\n", "S",
                std::nullopt, std::nullopt, "[T]\r\nb=2\r\n"},
        EditRow{"TrailingBlankOfOtherValueSurvives", "[S]\r\nblank=padded \r\n", "S", "other", "x",
                "[S]\r\nblank=padded \r\nother=x\r\n"},
        EditRow{"LineWithoutEqualsGetsValue", "[S]\r\n  flag  \r\nz=1\r\n", "S", "flag", "on",
                "[S]\r\n  flag=on\r\nz=1\r\n"},
        EditRow{"ByteOrderMarkKept", "\xEF\xBB\xBF[S]\r\na=1\r\n", "S", "a", "2",
                "\xEF\xBB\xBF[S]\r\na=2\r\n"},
        EditRow{"NewKeyGoesBeforeTrailingComment", "[S]\r\na=1\r\n; zu T\r\n[T]\r\n", "S", "b", "2",
                "[S]\r\na=1\r\nb=2\r\n; zu T\r\n[T]\r\n"}),
    [](const ::testing::TestParamInfo<EditRow>& info) { return std::string(info.param.name); });

} // namespace
} // namespace ostrevan
