// The INI class over the real engine and the real file-system object: what the profile
// functions write, the class's own reading finds, in the same file.

#include "storage/clsSystemInitFile.h"

#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/ProfileEngine.h"
#include "tests/support/FakeFileTypes.h"
#include "tests/support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ostrevan {
namespace {

using ::testing::ElementsAre;

class InitFileRealTest : public ::testing::Test {
protected:
    test::TempFolder m_temp;
    test::FakeFileTypes m_types;
    PosixFileSystem m_files{m_types};
    ProfileEngine m_engine{m_temp.folder("Konfiguration ß")};
    clsSystemInitFile m_ini{m_files, m_engine};
};

TEST_F(InitFileRealTest, NameWithoutFolderIsOneFileForEveryMember) {
    m_ini.setFile("Einstellungen äöü.ini");
    EXPECT_FALSE(m_ini.FileExists());

    ASSERT_TRUE(m_ini.WriteKeyValue("Größe", "Maß", "1"));
    ASSERT_TRUE(m_ini.WriteKeyValue("Bereich", "b", "2"));

    EXPECT_TRUE(m_ini.FileExists());
    std::vector<std::string> sections{"null"};
    EXPECT_FALSE(m_ini.GetSectionNames(sections));
    EXPECT_THAT(sections, ElementsAre("null", "Größe", "Bereich"));
    EXPECT_EQ(test::readBytes(m_temp.at("Konfiguration ß/Einstellungen äöü.ini")),
              "[Gr\xF6\xDF"
              "e]\r\nMa\xDF=1\r\n[Bereich]\r\nb=2\r\n");
}

TEST_F(InitFileRealTest, SectionNamesOfHandWrittenFile) {
    m_ini.setFile(m_temp.file(".alt.ini", "  [X]\n; Notiz\na=[b]\n[Letzter]"));
    std::vector<std::string> sections{"null", "1", "2", "3", "4", "5"};
    EXPECT_FALSE(m_ini.GetSectionNames(sections));
    EXPECT_THAT(sections, ElementsAre("null", "X]", "b]", "Letzter"));
}

TEST_F(InitFileRealTest, MissingFileReturnsTrueAndKeepsList) {
    m_ini.setFile(m_temp.at("fehlt.ini"));
    std::vector<std::string> sections{"null", "alt"};
    EXPECT_TRUE(m_ini.GetSectionNames(sections));
    EXPECT_THAT(sections, ElementsAre("null", "alt"));
    EXPECT_FALSE(m_ini.FileExists());
}

} // namespace
} // namespace ostrevan
