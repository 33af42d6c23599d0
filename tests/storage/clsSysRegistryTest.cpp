// The registry class over a real temporary store, watched by a probe that counts open handles
// and injects failures.

#include "storage/clsSysRegistry.h"

#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/posix/RegistryStore.h"
#include "tests/support/TempFolder.h"
#include "tests/storage/RegistryProbe.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <ostream>

namespace ostrevan {
namespace {

using List = std::vector<std::string>;
constexpr std::int32_t HKCU = regroot::CurrentUser;
constexpr std::int32_t HKCR = regroot::ClassesRoot;

class RegistryClassTest : public testing::Test {
protected:
    test::TempFolder m_folder;
    RegistryStore m_store{m_folder.at("registry.sqlite3")};
    test::RegistryProbe m_probe{m_store};
    clsSysRegistry m_registry{m_probe};

    void TearDown() override { EXPECT_EQ(m_probe.openHandles(), 0) << "a key was left open"; }

    // Writes raw bytes (Windows-1252) under HKEY_CURRENT_USER or another root.
    void put(std::string_view key, std::string_view name, std::uint32_t type, std::string_view data,
             HKEY root = hkey::CurrentUser) {
        HKEY handle = 0;
        ASSERT_EQ(m_store.RegCreateKeyEx(root, std::string(key).c_str(), 0, nullptr, 0,
                                         keyaccess::AllAccess, nullptr, &handle, nullptr),
                  0);
        ASSERT_EQ(m_store.RegSetValueEx(handle, std::string(name).c_str(), 0, type,
                                        reinterpret_cast<const unsigned char*>(data.data()),
                                        static_cast<std::uint32_t>(data.size())),
                  0);
        m_store.RegCloseKey(handle);
    }

    // The raw bytes and type of a value, or nothing.
    std::optional<std::pair<std::uint32_t, std::string>> stored(std::string_view key,
                                                                std::string_view name) {
        HKEY handle = 0;
        if (m_store.RegOpenKeyEx(hkey::CurrentUser, std::string(key).c_str(), 0,
                                 keyaccess::ReadControlQuery, &handle) != 0) {
            return std::nullopt;
        }
        std::string data(1024, '\0');
        std::uint32_t size = static_cast<std::uint32_t>(data.size());
        std::uint32_t type = 0;
        const auto rc =
            m_store.RegQueryValueEx(handle, std::string(name).c_str(), nullptr, &type,
                                    reinterpret_cast<unsigned char*>(data.data()), &size);
        m_store.RegCloseKey(handle);
        if (rc != 0) {
            return std::nullopt;
        }
        data.resize(size);
        return std::make_pair(type, data);
    }
};

// The error a call raised; fails the test when it raised none.
Error errorOf(const std::function<void()>& call) {
    const auto error = trapError(call);
    EXPECT_TRUE(error.has_value()) << "no error was raised";
    return error.value_or(Error(0));
}

struct ReadCase {
    const char* name;
    std::uint32_t type;
    std::string data;
    RegistryValue expected;
    std::int32_t error = 0;
};

void PrintTo(const ReadCase& readCase, std::ostream* out) {
    *out << readCase.name;
}

class GetRegistryValueTest : public RegistryClassTest,
                             public testing::WithParamInterface<ReadCase> {};

TEST_P(GetRegistryValueTest, ReadsByType) {
    const ReadCase& row = GetParam();
    setenv("OSTREVAN_REG_TEST", "C:\\Programme", 1);
    put("Software\\Lesen", "v", row.type, row.data);
    if (row.error != 0) {
        const Error error =
            errorOf([&] { m_registry.GetRegistryValue(HKCU, "Software\\Lesen", "v"); });
        EXPECT_EQ(error.number(), row.error);
        EXPECT_EQ(error.source(), "cSysRegistry:GetRegistryValue");
        return;
    }
    EXPECT_EQ(m_registry.GetRegistryValue(HKCU, "Software\\Lesen", "V"), row.expected);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Types, GetRegistryValueTest,
    testing::Values(
        ReadCase{"sz", regtype::Sz, "Hello\0"s, "Hello"s},
        ReadCase{"sz_umlaut", regtype::Sz,
                 "Gr\xF6\xDF"
                 "e\0"s,
                 "Größe"s},
        ReadCase{"sz_empty_text", regtype::Sz, "\0"s, ""s},
        ReadCase{"sz_zero_bytes", regtype::Sz, "", {}, err::InvalidCall},
        ReadCase{"sz_not_expanded", regtype::Sz, "%OSTREVAN_REG_TEST%\0"s, "%OSTREVAN_REG_TEST%"s},
        ReadCase{"expand", regtype::ExpandSz, "%OSTREVAN_REG_TEST%\\x\0"s, "C:\\Programme\\x"s},
        ReadCase{"expand_other_case", regtype::ExpandSz, "%ostrevan_reg_test%\0"s,
                 "C:\\Programme"s},
        ReadCase{"expand_without_percent", regtype::ExpandSz, "plain\0"s, "plain"s},
        ReadCase{"expand_undefined", regtype::ExpandSz, "%NIRGENDS_DEFINIERT%\0"s,
                 "%NIRGENDS_DEFINIERT%"s},
        ReadCase{"multi_two", regtype::MultiSz, "a\0b\0\0"s, List{"a", "b"}},
        ReadCase{"multi_empty_piece", regtype::MultiSz, "a\0\0b\0\0"s, List{"a", "", "b"}},
        ReadCase{"multi_empty_list", regtype::MultiSz, "\0\0"s, List{}},
        ReadCase{"multi_one_byte", regtype::MultiSz, "\0"s, {}, err::InvalidCall},
        ReadCase{"multi_zero_bytes", regtype::MultiSz, "", {}, err::InvalidCall},
        ReadCase{"binary", regtype::Binary, "A\0B\xFF"s, "A\0B\xC3\xBF"s},
        ReadCase{"binary_empty", regtype::Binary, "", ""s},
        ReadCase{"dword_all_bits", regtype::Dword, "\xFF\xFF\xFF\xFF"s, std::int32_t{-1}},
        ReadCase{"dword_max", regtype::Dword, "\xFF\xFF\xFF\x7F"s, std::int32_t{2147483647}},
        ReadCase{"dword_too_long", regtype::Dword, "\1\0\0\0\0\0\0\0"s, {}, winerror::MoreData},
        ReadCase{"none", regtype::None, "\1\2"s, {}},
        ReadCase{"big_endian", regtype::DwordBigEndian, "\0\0\0\1"s, {}},
        ReadCase{"link", regtype::Link, "x"s, {}}, ReadCase{"qword", 11, "\1\0\0\0\0\0\0\0"s, {}}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST_F(RegistryClassTest, MissingKeysAndValuesAreEmptyAndNeverErrors) {
    put("Software\\Da", "x", regtype::Sz, "1\0"s);
    EXPECT_TRUE(isEmpty(m_registry.GetRegistryValue(HKCU, "Software\\Fehlt", "x")));
    EXPECT_TRUE(isEmpty(m_registry.GetRegistryValue(HKCU, "Software\\Da", "y")));
    EXPECT_TRUE(m_registry.HasKey(HKCU, "Software\\Da"));
    EXPECT_TRUE(m_registry.HasKey(HKCU, "software\\DA", RegistryValue("X"s)));
    EXPECT_FALSE(m_registry.HasKey(HKCU, "Software\\Da", RegistryValue("y"s)));
    EXPECT_FALSE(m_registry.HasKey(HKCU, "Software\\Fehlt"));
    EXPECT_FALSE(m_registry.HasKey(HKCU, "Software\\Fehlt", RegistryValue(List{"a"})))
        << "the value name is not looked at when the key is missing";
    EXPECT_FALSE(m_registry.HasKey(HKCU, "Software\\Da", RegistryValue(std::int32_t{7})));
}

TEST_F(RegistryClassTest, HasKeyRaisesOnlyForAValueNameThatIsNoText) {
    put("Software\\Da", "x", regtype::Sz, "1\0"s);
    const Error error =
        errorOf([&] { m_registry.HasKey(HKCU, "Software\\Da", RegistryValue(List{"x"})); });
    EXPECT_EQ(error.number(), err::TypeMismatch);
    EXPECT_EQ(error.source(), "cSysRegistry:HasKey");
}

TEST_F(RegistryClassTest, SetWritesTheBytesOfEachType) {
    const std::int32_t sz = regtype::Sz;
    m_registry.SetRegistryValue(HKCU, "Software\\A\\B\\C", "text", sz, "Grüße"s);
    EXPECT_EQ(stored("Software\\A\\B\\C", "text"), std::make_pair(1U, "Gr\xFC\xDF"
                                                                      "e\0"s))
        << "the missing levels were created, one byte a character plus NUL";
    m_registry.SetRegistryValue(HKCU, "Software\\A", "zahl", regtype::ExpandSz, std::int32_t{-12});
    EXPECT_EQ(stored("Software\\A", "zahl"), std::make_pair(2U, "-12\0"s));
    m_registry.SetRegistryValue(HKCU, "Software\\A", "liste", regtype::MultiSz, List{"a", "b"});
    EXPECT_EQ(stored("Software\\A", "liste"), std::make_pair(7U, "a\0b\0\0"s));
    m_registry.SetRegistryValue(HKCU, "Software\\A", "leer", regtype::MultiSz, List{});
    EXPECT_EQ(stored("Software\\A", "leer"), std::make_pair(7U, "\0\0"s));
    m_registry.SetRegistryValue(HKCU, "Software\\A", "roh", regtype::Binary, "A\0B\xC3\xBF"s);
    EXPECT_EQ(stored("Software\\A", "roh"), std::make_pair(3U, "A\0B\xFF"s));
    m_registry.SetRegistryValue(HKCU, "Software\\A", "dword", regtype::Dword, "2.5"s);
    EXPECT_EQ(stored("Software\\A", "dword"), std::make_pair(4U, "\2\0\0\0"s)) << "halves to even";
    m_registry.SetRegistryValue(HKCU, "Software\\A", "dword", regtype::Dword, std::int32_t{-1});
    EXPECT_EQ(m_registry.GetRegistryValue(HKCU, "Software\\A", "dword"),
              RegistryValue(std::int32_t{-1}));
    EXPECT_EQ(m_registry.GetRegistryValue(HKCU, "Software\\A", "roh"),
              RegistryValue("A\0B\xC3\xBF"s));
    EXPECT_EQ(m_registry.GetRegistryValue(HKCU, "Software\\A", "liste"),
              RegistryValue(List{"a", "b"}));
}

TEST_F(RegistryClassTest, UnwrittenTypesCreateTheKeyButStoreNothing) {
    for (const std::int32_t type : {0, 5, 6, 8, 11}) {
        const std::string key = "Software\\Typ" + std::to_string(type);
        m_registry.SetRegistryValue(HKCU, key, "v", type, "x"s);
        EXPECT_TRUE(m_registry.HasKey(HKCU, key)) << type;
        EXPECT_EQ(stored(key, "v"), std::nullopt) << type;
    }
}

struct BadValue {
    const char* name;
    std::int32_t type;
    RegistryValue value;
    std::int32_t error;
};

void PrintTo(const BadValue& row, std::ostream* out) {
    *out << row.name;
}

class SetConversionTest : public RegistryClassTest, public testing::WithParamInterface<BadValue> {};

TEST_P(SetConversionTest, FailsWithTheConversionError) {
    const BadValue& row = GetParam();
    const Error error = errorOf(
        [&] { m_registry.SetRegistryValue(HKCU, "Software\\B", "v", row.type, row.value); });
    EXPECT_EQ(error.number(), row.error);
    EXPECT_EQ(error.source(), "cSysRegistry:SetRegistryValue");
    EXPECT_EQ(stored("Software\\B", "v"), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SetConversionTest,
    testing::Values(BadValue{"dword_text", regtype::Dword, "zwölf"s, err::TypeMismatch},
                    BadValue{"dword_too_big", regtype::Dword, "3000000000"s, err::Overflow},
                    BadValue{"dword_list", regtype::Dword, List{"1"}, err::TypeMismatch},
                    BadValue{"multi_text", regtype::MultiSz, "a"s, err::TypeMismatch},
                    BadValue{"sz_list", regtype::Sz, List{"a"}, err::TypeMismatch}),
    [](const testing::TestParamInfo<BadValue>& info) { return std::string(info.param.name); });

TEST_F(RegistryClassTest, DeletingWhatIsNotThereDoesNothing) {
    EXPECT_NO_THROW(m_registry.DeleteRegistryValue(HKCU, "Software\\Fehlt", "v"));
    put("Software\\D", "v", regtype::Sz, "1\0"s);
    EXPECT_NO_THROW(m_registry.DeleteRegistryValue(HKCU, "Software\\D", "w"));
    m_registry.DeleteRegistryValue(HKCU, "Software\\D", "V");
    EXPECT_EQ(stored("Software\\D", "v"), std::nullopt);
}

TEST_F(RegistryClassTest, EnumerationsListNamesOrGiveTheEmptyValue) {
    put("Software\\E", "", regtype::Sz, "standard\0"s);
    put("Software\\E", "zahl", regtype::Dword, "\1\0\0\0"s);
    put("Software\\E\\b", "x", regtype::Sz, "\0"s);
    put("Software\\E\\\xC4", "x", regtype::Sz, "\0"s);
    put("Software\\E\\A", "x", regtype::Sz, "\0"s);
    m_registry.SetRegistryValue(HKCU, "Software\\E\\leer", "v", 0, {});
    EXPECT_EQ(m_registry.EnumKeys(HKCU, "Software\\E"), RegistryValue(List{"A", "b", "leer", "Ä"}));
    EXPECT_EQ(m_registry.EnumValues(HKCU, "Software\\E"),
              RegistryValue(RegistryTable{List{"", "zahl"}, List{"1", "4"}}));
    EXPECT_TRUE(isEmpty(m_registry.EnumKeys(HKCU, "Software\\E\\leer")));
    EXPECT_TRUE(isEmpty(m_registry.EnumValues(HKCU, "Software\\E\\leer")));
    EXPECT_TRUE(isEmpty(m_registry.EnumKeys(HKCU, "Software\\Fehlt")));
    EXPECT_TRUE(isEmpty(m_registry.EnumValues(HKCU, "Software\\Fehlt")));
}

TEST_F(RegistryClassTest, FailuresCarryTheCodeItsTextAndTheMembersSource) {
    m_probe.fail("RegSetValueEx", winerror::CannotWrite);
    const Error write =
        errorOf([&] { m_registry.SetRegistryValue(HKCU, "Software\\F", "v", regtype::Sz, "x"s); });
    EXPECT_EQ(write.number(), winerror::CannotWrite);
    EXPECT_EQ(write.source(), "cSysRegistry:SetRegistryValue");
    EXPECT_EQ(write.description(),
              "Der Konfigurationsregistrierungsschlüssel konnte nicht geschrieben werden.\r")
        << "the last character of the system text is dropped, its CR stays";

    m_probe.fail("RegQueryInfoKey", winerror::CannotRead);
    const Error enumeration = errorOf([&] { m_registry.EnumKeys(HKCU, "Software"); });
    EXPECT_EQ(enumeration.number(), winerror::CannotRead);
    EXPECT_EQ(enumeration.source(), "cSysRegistry:EnumKeys");

    m_probe.fail("RegDeleteValue", winerror::AccessDenied);
    const Error removal =
        errorOf([&] { m_registry.DeleteRegistryValue(HKCU, "Software\\F", "v"); });
    EXPECT_EQ(removal.number(), winerror::AccessDenied);
    EXPECT_EQ(removal.description(), "Zugriff verweigert\r");
    EXPECT_EQ(removal.source(), "cSysRegistry:DeleteRegistryValue");

    m_probe.fail("RegOpenKeyEx", winerror::BadDatabase, 4);
    const Error open = errorOf([&] { m_registry.GetRegistryValue(HKCU, "Software\\F", "v"); });
    EXPECT_EQ(open.number(), winerror::BadDatabase);
    EXPECT_EQ(open.source(), "cSysRegistry:GetRegistryValue");
}

TEST_F(RegistryClassTest, EnumerationThatRunsOutRaisesNoMoreItems) {
    put("Software\\G\\a", "x", regtype::Sz, "\0"s);
    put("Software\\G\\b", "x", regtype::Sz, "\0"s);
    m_probe.fail("RegEnumKeyEx", winerror::NoMoreItems, 2);
    const Error error = errorOf([&] { m_registry.EnumKeys(HKCU, "Software\\G"); });
    EXPECT_EQ(error.number(), winerror::NoMoreItems);
    EXPECT_EQ(error.source(), "cSysRegistry:EnumKeys");
}

TEST_F(RegistryClassTest, ACodeWithoutTextBecomes9999) {
    m_probe.fail("RegQueryValueEx", 4711);
    const Error unknown = errorOf([&] { m_registry.GetRegistryValue(HKCU, "", "v"); });
    EXPECT_EQ(unknown.number(), 9999);
    EXPECT_EQ(unknown.description(),
              "Der Fehlertext zu ReturnCode 4711 konnte nicht ermittelt werden.");
    EXPECT_EQ(unknown.source(), "cSysRegistry:GetRegistryValue");

    m_probe.withoutMessages();
    m_probe.fail("RegSetValueEx", winerror::AccessDenied);
    const Error denied =
        errorOf([&] { m_registry.SetRegistryValue(HKCU, "Software", "v", regtype::Sz, "x"s); });
    EXPECT_EQ(denied.number(), 9999);
    EXPECT_EQ(denied.description(),
              "Der Fehlertext zu ReturnCode 5 konnte nicht ermittelt werden.");
    EXPECT_EQ(denied.source(), "cSysRegistry:SetRegistryValue");
}

TEST_F(RegistryClassTest, ContentTypesOfTheSeededStore) {
    EXPECT_EQ(m_registry.ExtensionToContentType("par"), "application/x-solidedge-part");
    EXPECT_EQ(m_registry.ExtensionToContentType("CFG"), "application/octet-stream")
        << "no content type";
    EXPECT_EQ(m_registry.ExtensionToContentType("xyz"), "application/octet-stream") << "no key";
    EXPECT_EQ(m_registry.ExtensionToContentType(".par"), "application/octet-stream") << "two dots";
}

TEST_F(RegistryClassTest, FileTypesOfTheSeededStore) {
    EXPECT_EQ(m_registry.ExtensionToFileType("asm"),
              RegistryValue("Solid Edge Assembly Document"s));
    EXPECT_TRUE(isEmpty(m_registry.ExtensionToFileType("xyz")));
    put(".waise", "", regtype::Sz, "Niemand.Klasse\0"s, hkey::ClassesRoot);
    EXPECT_TRUE(isEmpty(m_registry.ExtensionToFileType("waise"))) << "class without a key";
    put("Niemand.Klasse", "andere", regtype::Sz, "x\0"s, hkey::ClassesRoot);
    EXPECT_TRUE(isEmpty(m_registry.ExtensionToFileType("waise"))) << "class without a description";
}

TEST_F(RegistryClassTest, ErrorsInsideNestedMembersKeepTheInnerSource) {
    m_probe.fail("RegQueryValueEx", winerror::CannotRead, 2);
    const Error type = errorOf([&] { m_registry.ExtensionToFileType("par"); });
    EXPECT_EQ(type.number(), winerror::CannotRead);
    EXPECT_EQ(type.source(), "cSysRegistry:GetRegistryValue");

    put(".liste", "", regtype::MultiSz, "a\0b\0\0"s, hkey::ClassesRoot);
    const Error conversion = errorOf([&] { m_registry.ExtensionToFileType("liste"); });
    EXPECT_EQ(conversion.number(), err::TypeMismatch);
    EXPECT_EQ(conversion.source(), "cSysRegistry:ExtensionToFileType") << "its own step failed";
}

TEST_F(RegistryClassTest, SettingsLiveUnderTheApplicationsKey) {
    m_registry.setAppName("MeinWerkzeug");
    m_registry.setSection("Optionen");
    EXPECT_EQ(m_registry.Section(), "Optionen");
    m_registry.SaveSetting("Farbe", "grün"s);
    EXPECT_TRUE(m_registry.HasKey(HKCU, "Software\\MeinWerkzeug\\Optionen"))
        << "DataType 0 creates the key";
    EXPECT_EQ(stored("Software\\MeinWerkzeug\\Optionen", "Farbe"), std::nullopt)
        << "but stores nothing";
    m_registry.setDataType(regtype::Sz);
    m_registry.SaveSetting("Farbe", "grün"s);
    EXPECT_EQ(stored("Software\\MeinWerkzeug\\Optionen", "Farbe"),
              std::make_pair(1U, "gr\xFCn\0"s));
    EXPECT_EQ(m_registry.GetSetting("Farbe", RegistryValue("rot"s)), RegistryValue("grün"s));
    EXPECT_EQ(m_registry.GetSetting("Größe", RegistryValue("klein"s)), RegistryValue("klein"s));
    EXPECT_TRUE(isEmpty(m_registry.GetSetting("Größe")));
    EXPECT_TRUE(isEmpty(m_registry.GetSetting("Größe", RegistryValue())));
    EXPECT_TRUE(isEmpty(m_registry.DeleteSetting("Größe")));
    EXPECT_TRUE(isEmpty(m_registry.DeleteSetting("Farbe")));
    EXPECT_TRUE(isEmpty(m_registry.GetSetting("Farbe")));
}

TEST_F(RegistryClassTest, SaveSettingFailuresKeepTheWritersSource) {
    m_registry.setAppName("App");
    m_registry.setSection("S");
    m_registry.setDataType(regtype::Dword);
    const Error error = errorOf([&] { m_registry.SaveSetting("n", "kein Wert"s); });
    EXPECT_EQ(error.number(), err::TypeMismatch);
    EXPECT_EQ(error.source(), "cSysRegistry:SetRegistryValue");
    m_probe.fail("RegQueryValueEx", winerror::CannotRead);
    EXPECT_EQ(errorOf([&] { m_registry.GetSetting("n"); }).source(),
              "cSysRegistry:GetRegistryValue");
}

TEST(RegistryValueConversions, FollowTheNumericRules) {
    EXPECT_EQ(toText(RegistryValue()), "");
    EXPECT_EQ(toText(RegistryValue(std::int32_t{-42})), "-42");
    EXPECT_EQ(toInt32(RegistryValue()), 0);
    EXPECT_EQ(toInt32(RegistryValue(" 17 "s)), 17);
    EXPECT_EQ(toInt32(RegistryValue("3.5"s)), 4);
    EXPECT_EQ(toInt32(RegistryValue("-2.5"s)), -2);
    EXPECT_EQ(errorOf([] { toInt32(RegistryValue("12a"s)); }).number(), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { toInt32(RegistryValue("2147483648"s)); }).number(), err::Overflow);
    EXPECT_EQ(errorOf([] { toText(RegistryValue(List{})); }).number(), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { toInt32(RegistryValue(RegistryTable{})); }).number(), err::TypeMismatch);
}

} // namespace
} // namespace ostrevan
