// Reading as current Windows reads: section names up to the last "]", keys with an empty
// name, and the default for the key list of a missing section.

#include "platform/posix/ProfileEngine.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace ostrevan {
namespace {

using namespace std::string_literals;

const std::string kFile = "[b]c]\r\n=leer\r\nk=v\r\n[x] ; Notiz]\r\ny=1\r\n";

class ProfileReadTest : public testing::Test {
protected:
    test::TempFolder m_folder;
    std::string m_file = m_folder.file("lesen.ini", kFile);
    ProfileEngine m_engine{m_folder.path()};

    // The bytes GetPrivateProfileString counted, NULs included, and "|" and its result.
    std::string read(AnsiArgument section, AnsiArgument key, AnsiArgument fallback) const {
        std::array<char, 64> buffer{};
        const std::uint32_t size =
            m_engine.GetPrivateProfileString(section, key, fallback, buffer, "lesen.ini");
        return std::string(buffer.data(), size) + "|" + std::to_string(size);
    }
};

TEST_F(ProfileReadTest, SectionNameRunsToTheLastBracket) {
    EXPECT_EQ(read(std::nullopt, std::nullopt, ""), "b]c\0x] ; Notiz\0|15"s);
    EXPECT_EQ(read("b]c", "k", "D"), "v|1");
    EXPECT_EQ(read("b", "k", "D"), "D|1") << "no section b";
    EXPECT_EQ(read("x] ; Notiz", "y", "D"), "1|1");
}

TEST_F(ProfileReadTest, AKeyWithAnEmptyNameIsListed) {
    EXPECT_EQ(read("b]c", std::nullopt, ""), "\0k\0|3"s);
}

TEST_F(ProfileReadTest, KeyListOfAMissingSectionIsTheDefault) {
    EXPECT_EQ(read("fehlt", std::nullopt, "Vorgabe  "), "Vorgabe|7");
    EXPECT_EQ(read("fehlt", std::nullopt, ""), "|0");
    EXPECT_EQ(read("fehlt", std::nullopt, std::nullopt), "|0");
}

TEST_F(ProfileReadTest, ASectionWithABracketIsWrittenAndReadBack) {
    ASSERT_TRUE(m_engine.WritePrivateProfileString("neu]er", "a", "1", "lesen.ini"));
    EXPECT_EQ(test::readBytes(m_file), kFile + "[neu]er]\r\na=1\r\n");
    EXPECT_EQ(read("NEU]ER", "a", "D"), "1|1");
}

} // namespace
} // namespace ostrevan
