// The INI class and the registry class over Windows' own functions: what the class writes,
// Windows holds, and what Windows holds, the class reads.

#include "platform/FileSystem.h"
#include "platform/RegistryFileTypes.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Profile.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/WindowsApi.h"
#include "storage/clsSysRegistry.h"
#include "storage/clsSystemInitFile.h"
#include "tests/support/Environment.h"
#include "tests/support/FakeFileTypes.h"
#include "tests/support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace ostrevan {
namespace {

using ::testing::ElementsAre;

class Win32InitFileTest : public ::testing::Test {
protected:
    void TearDown() override {
        std::filesystem::remove(test::pathOf(m_profile.ProfilePath("Ostrevan Größe.ini")));
    }

    test::TempFolder m_temp;
    test::FakeFileTypes m_types;
    Win32FileSystem m_files{m_types};
    Win32Profile m_profile;
    clsSystemInitFile m_ini{m_files, m_profile};
};

TEST_F(Win32InitFileTest, NameWithoutFolderIsOneFileInTheWindowsFolder) {
    m_ini.setFile("Ostrevan Größe.ini");
    EXPECT_FALSE(m_ini.FileExists());
    ASSERT_TRUE(m_ini.WriteKeyValue("Größe", "Maß", "1"));
    ASSERT_TRUE(m_ini.WriteKeyValueBool("Bereich", "b", false));

    EXPECT_TRUE(m_ini.FileExists());
    const std::string path = m_profile.ProfilePath("Ostrevan Größe.ini");
    EXPECT_EQ(FileSystem::GetFileName(path), "Ostrevan Größe.ini");
    EXPECT_EQ(test::readBytes(path), "[Gr\xF6\xDF"
                                     "e]\r\nMa\xDF=1\r\n[Bereich]\r\nb=0\r\n");
    std::vector<std::string> sections{"null"};
    EXPECT_FALSE(m_ini.GetSectionNames(sections));
    EXPECT_THAT(sections, ElementsAre("null", "Größe", "Bereich"));
    EXPECT_EQ(m_ini.ReadKeyValueInt("größe", "MAß"), 1);
    EXPECT_FALSE(m_ini.ReadKeyValueBool("Bereich", "b", true));
}

TEST_F(Win32InitFileTest, AFullPathIsUsedAsItIs) {
    m_ini.setFile(m_temp.at("Einstellungen.ini"));
    ASSERT_TRUE(m_ini.WriteKeyValueInt("Zahlen", "minus", -42));
    ASSERT_TRUE(m_ini.WriteKeyValueStr("Zahlen", "text", "  mit Blanks  "));
    EXPECT_EQ(m_ini.ReadKeyValueInt("Zahlen", "minus"), -42);
    EXPECT_EQ(m_ini.ReadKeyValueStr("Zahlen", "text"), "mit Blanks");
    std::vector<std::string> keys{"null"};
    EXPECT_FALSE(m_ini.GetKeyNames("Zahlen", keys));
    EXPECT_THAT(keys, ElementsAre("null", "minus", "text"));
    EXPECT_TRUE(m_ini.DeleteKey("Zahlen", "minus"));
    EXPECT_EQ(m_ini.ReadKeyValueStr("Zahlen", "minus", "weg"), "weg");
    EXPECT_TRUE(m_ini.DeleteSection("Zahlen"));
    EXPECT_EQ(m_ini.ReadKeyValueStr("Zahlen", "text", "weg"), "weg");
}

// Below a key of its own, removed before and after.
class Win32RegistryClassTest : public ::testing::Test {
protected:
    static constexpr const char* kKey = "Software\\Ostrevan Test\\Größe";

    void SetUp() override { removeTestKey(); }
    void TearDown() override { removeTestKey(); }
    static void removeTestKey() {
        RegDeleteTreeW(windowsCurrentUser(), L"Software\\Ostrevan Test");
    }

    Win32Registry m_registry;
    clsSysRegistry m_class{m_registry};
};

TEST_F(Win32RegistryClassTest, EveryWrittenTypeReadsBack) {
    const std::int32_t sz = regtype::Sz;
    const std::int32_t expandSz = regtype::ExpandSz;
    const std::int32_t dword = regtype::Dword;
    const std::int32_t multiSz = regtype::MultiSz;
    const std::int32_t binary = regtype::Binary;
    m_class.SetRegistryValue(regroot::CurrentUser, kKey, "Text", sz, std::string("Maß ä"));
    const test::ScopedEnvironment variable("OSTREVAN_TEST", std::string("C:\\Programme"));
    m_class.SetRegistryValue(regroot::CurrentUser, kKey, "Pfad", expandSz,
                             std::string("%OSTREVAN_TEST%\\x"));
    m_class.SetRegistryValue(regroot::CurrentUser, kKey, "Zahl", dword, std::int32_t{-7});
    m_class.SetRegistryValue(regroot::CurrentUser, kKey, "Liste", multiSz,
                             std::vector<std::string>{"a", "", "b"});
    m_class.SetRegistryValue(regroot::CurrentUser, kKey, "Bytes", binary, std::string("\x01ÿ"));

    EXPECT_EQ(m_class.GetRegistryValue(regroot::CurrentUser, kKey, "Text"),
              RegistryValue(std::string("Maß ä")));
    EXPECT_EQ(m_class.GetRegistryValue(regroot::CurrentUser, kKey, "Pfad"),
              RegistryValue(std::string("C:\\Programme\\x")));
    EXPECT_EQ(m_class.GetRegistryValue(regroot::CurrentUser, kKey, "Zahl"),
              RegistryValue(std::int32_t{-7}));
    EXPECT_EQ(m_class.GetRegistryValue(regroot::CurrentUser, kKey, "Liste"),
              RegistryValue(std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(m_class.GetRegistryValue(regroot::CurrentUser, kKey, "Bytes"),
              RegistryValue(std::string("\x01ÿ")));
    EXPECT_TRUE(m_class.HasKey(regroot::CurrentUser, kKey, std::string("Zahl")));

    m_class.DeleteRegistryValue(regroot::CurrentUser, kKey, "Zahl");
    EXPECT_FALSE(m_class.HasKey(regroot::CurrentUser, kKey, std::string("Zahl")));
    const RegistryValue table = m_class.EnumValues(regroot::CurrentUser, kKey);
    ASSERT_TRUE(std::holds_alternative<RegistryTable>(table));
    EXPECT_EQ(std::get<RegistryTable>(table)[0].size(), 4U);
    EXPECT_EQ(m_class.EnumKeys(regroot::CurrentUser, "Software\\Ostrevan Test"),
              RegistryValue(std::vector<std::string>{"Größe"}));
}

TEST_F(Win32RegistryClassTest, MissingKeysAndValuesAreEmpty) {
    EXPECT_FALSE(m_class.HasKey(regroot::CurrentUser, kKey));
    EXPECT_TRUE(isEmpty(m_class.GetRegistryValue(regroot::CurrentUser, kKey, "fehlt")));
    EXPECT_TRUE(isEmpty(m_class.EnumKeys(regroot::CurrentUser, kKey)));
    m_class.DeleteRegistryValue(regroot::CurrentUser, kKey, "fehlt");
}

// A file class of its own, registered for the machine as an installer does. (Windows also
// shows a user's own classes in HKEY_CLASSES_ROOT; Wine shows only the machine's.)
class Win32FileClassTest : public ::testing::Test {
protected:
    void SetUp() override {
        removeClass();
        setText(L"Software\\Classes\\.ostrevantest", nullptr, L"Ostrevan.Testteil");
        setText(L"Software\\Classes\\.ostrevantest", L"Content Type", L"application/x-ostrevan");
        setText(L"Software\\Classes\\Ostrevan.Testteil", nullptr, L"Solid Edge Testteil");
    }
    void TearDown() override { removeClass(); }

    static void setText(const wchar_t* key, const wchar_t* name, const std::wstring& text) {
        ASSERT_EQ(RegSetKeyValueW(windowsLocalMachine(), key, name, REG_SZ, text.c_str(),
                                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    static void removeClass() {
        RegDeleteTreeW(windowsLocalMachine(), L"Software\\Classes\\.ostrevantest");
        RegDeleteTreeW(windowsLocalMachine(), L"Software\\Classes\\Ostrevan.Testteil");
    }

    Win32Registry m_registry;
    clsSysRegistry m_class{m_registry};
};

TEST_F(Win32FileClassTest, TheClassGivesContentTypeAndTypeName) {
    EXPECT_EQ(m_class.ExtensionToContentType("ostrevantest"), "application/x-ostrevan");
    EXPECT_EQ(m_class.ExtensionToFileType("ostrevantest"),
              RegistryValue(std::string("Solid Edge Testteil")));
    EXPECT_EQ(m_class.ExtensionToContentType("ostrevan-unbekannt"), "application/octet-stream");
    EXPECT_TRUE(isEmpty(m_class.ExtensionToFileType("ostrevan-unbekannt")));
}

TEST_F(Win32FileClassTest, FilesHaveTheTypeTheRegistryGivesThem) {
    const test::TempFolder temp;
    temp.file("Welle.OSTREVANTEST");
    temp.file("Notiz.ostrevan-unbekannt");
    const RegistryFileTypes types(m_registry);
    const Win32FileSystem files(types);
    const std::vector<File> listed = files.Files(files.GetFolder(temp.path()));
    ASSERT_EQ(listed.size(), 2U);
    EXPECT_EQ(listed[0].Type, "OSTREVAN-UNBEKANNT-Datei");
    EXPECT_EQ(listed[1].Type, "Solid Edge Testteil");
    EXPECT_EQ(files.GetFile(temp.at("Welle.OSTREVANTEST")).Type, "Solid Edge Testteil");
}

} // namespace
} // namespace ostrevan
