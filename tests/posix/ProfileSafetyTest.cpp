// A write that cannot be done leaves the old file as it was and nothing beside it.

#include "platform/Text.h"
#include "platform/posix/ProfileEngine.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace ostrevan {
namespace {

namespace fs = std::filesystem;

const std::string kOld = "; Kommentar\r\n[S]\r\na = 1\r\n";

// The check for a child process: what went wrong, empty when the write failed cleanly.
std::string writeFailsCleanly(const std::string& folder, const std::string& file) {
    ProfileEngine engine(folder);
    if (engine.WritePrivateProfileString("S", "a", "2", toWindows1252(file))) {
        return "the write reported success";
    }
    if (test::readBytes(file) != kOld) {
        return "the file changed";
    }
    if (test::folderNames(folder).size() != 1) {
        return "something was left beside the file";
    }
    return {};
}

TEST(ProfileSafety, ReadOnlyFolderFailsAndKeepsFile) {
    const test::TempFolder temp;
    const std::string folder = temp.folder("schreibgeschützt");
    const std::string file = temp.file("schreibgeschützt/Größe.ini", kOld);
    fs::permissions(file, fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec &
                              ~fs::perms::others_exec);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    test::expectUnprivileged([&] { return writeFailsCleanly(folder, file); });
}

TEST(ProfileSafety, ReadOnlyFileFailsAlthoughFolderIsWritable) {
    const test::TempFolder temp;
    const std::string folder = temp.folder("offen");
    const std::string file = temp.file("offen/nur lesen.ini", kOld);
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(folder, fs::perms::all);
    test::expectUnprivileged([&] { return writeFailsCleanly(folder, file); });
}

TEST(ProfileSafety, ReadOnlyFileFailsForEveryUserRootToo) {
    const test::TempFolder temp;
    const std::string file = temp.file("nur lesen.ini", kOld);
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(writeFailsCleanly(temp.path(), file), "");
}

TEST(ProfileSafety, NextWriteRemovesTheTemporariesAKilledWriterLeft) {
    const test::TempFolder temp;
    const std::string file = temp.file("Größe.ini", kOld);
    temp.file(".Größe.ini.123456.tmp", "halb");
    temp.file(".Größe.ini.7.tmp", "");
    const std::vector<std::string> others{".Größe.ini.alt.tmp", ".andere.ini.99.tmp",
                                          "Größe.ini.5.tmp"};
    for (const std::string& other : others) {
        temp.file(other, "fremd");
    }
    ProfileEngine engine(temp.path());

    ASSERT_TRUE(engine.WritePrivateProfileString("S", "a", "2", toWindows1252(file)));

    std::vector<std::string> expected = others;
    expected.push_back("Größe.ini");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(test::folderNames(temp.path()), expected) << "only the file's own temporaries go";
}

TEST(ProfileSafety, UnreadableFileIsNotOverwritten) {
    const test::TempFolder temp;
    const std::string folder = temp.folder("offen");
    const std::string file = temp.file("offen/nur schreiben.ini", kOld);
    fs::permissions(file,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write);
    fs::permissions(folder, fs::perms::all);
    test::expectUnprivileged([&] {
        ProfileEngine engine(folder);
        if (engine.WritePrivateProfileString("T", "k", "v", toWindows1252(file))) {
            return std::string("a file it could not read was replaced");
        }
        return test::folderNames(folder).size() == 1 ? std::string()
                                                     : std::string("something was left behind");
    });
    fs::permissions(file, fs::perms::owner_read, fs::perm_options::add);
    EXPECT_EQ(test::readBytes(file), kOld);
}

TEST(ProfileSafety, FailureBeforeRenameKeepsOldFileAndLeavesNoTemporary) {
    const test::TempFolder temp;
    const std::string folder = temp.folder("Daten ä");
    const std::string file = temp.file("Daten ä/.versteckt.ini", kOld);
    std::string seen;
    std::string seenContents;
    ProfileEngine engine(folder, [&](const std::string& temporary) {
        seen = temporary;
        seenContents = test::readBytes(temporary);
        return false;
    });

    EXPECT_FALSE(engine.WritePrivateProfileString("S", "a", "2", toWindows1252(file)));

    EXPECT_EQ(fs::path(seen).parent_path(), fs::path(folder)) << "not in the file's folder";
    EXPECT_EQ(seenContents, "; Kommentar\r\n[S]\r\na = 2\r\n") << "written only in part";
    EXPECT_EQ(test::readBytes(file), kOld);
    EXPECT_EQ(test::folderNames(folder), std::vector<std::string>{".versteckt.ini"});
}

TEST(ProfileSafety, ReplacementKeepsPermissions) {
    const test::TempFolder temp;
    const std::string file = temp.file("rechte.ini", kOld);
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(file, mode);
    ProfileEngine engine(temp.path());

    ASSERT_TRUE(engine.WritePrivateProfileString("S", "b", "2", toWindows1252(file)));

    EXPECT_EQ(fs::status(file).permissions(), mode);
    EXPECT_EQ(test::readBytes(file), kOld + "b=2\r\n");
    EXPECT_EQ(test::folderNames(temp.path()), std::vector<std::string>{"rechte.ini"});
}

TEST(ProfileSafety, WriteThroughSymbolicLinkKeepsTheLink) {
    const test::TempFolder temp;
    const std::string target = temp.file("ziel/echt.ini", kOld);
    const std::string link = temp.link("verweis.ini", target);
    ProfileEngine engine(temp.path());

    ASSERT_TRUE(engine.WritePrivateProfileString("S", "a", "3", toWindows1252(link)));

    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::readBytes(target), "; Kommentar\r\n[S]\r\na = 3\r\n");
}

struct RefusedWrite {
    const char* name;
    std::string section;
    std::string key;
    std::string value;
};

class ProfileRefusedWriteTest : public ::testing::TestWithParam<RefusedWrite> {};

TEST_P(ProfileRefusedWriteTest, WriteThatWouldAddLinesFails) {
    const test::TempFolder temp;
    const std::string file = temp.file("a.ini", kOld);
    ProfileEngine engine(temp.path());
    const RefusedWrite& row = GetParam();

    EXPECT_FALSE(
        engine.WritePrivateProfileString(row.section, row.key, row.value, toWindows1252(file)));
    EXPECT_EQ(test::readBytes(file), kOld);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ProfileRefusedWriteTest,
    ::testing::Values(RefusedWrite{"ValueWithLineBreak", "S", "a", "1\r\n[Fremd]\r\nx=1"},
                      RefusedWrite{"ValueWithLf", "S", "a", "1\nb=2"},
                      RefusedWrite{"KeyWithEquals", "S", "a=b", "1"},
                      RefusedWrite{"KeyLikeHeader", "S", " [T]", "1"},
                      RefusedWrite{"SectionWithLineBreak", "S\r\n[T", "a", "1"}),
    [](const ::testing::TestParamInfo<RefusedWrite>& info) {
        return std::string(info.param.name);
    });

} // namespace
} // namespace ostrevan
