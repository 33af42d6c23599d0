// Windows behaviour beyond the recorded cases: terminators added to text, names cut to the
// buffer, path forms, the information of a write-only handle, and the registry's limits.
// The cases use only the registry functions, under a key of their own.

#include "platform/RegistryFunctions.h"
#include "platform/posix/RegistryStore.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace ostrevan {
namespace {

using namespace std::string_literals;

constexpr const char* kBase = "Software\\OstrevanTest";

class RegistryWindowsTest : public testing::Test {
protected:
    test::TempFolder m_folder;
    RegistryStore m_store{m_folder.at("registry.sqlite3")};
    RegistryFunctions& m_registry = m_store;
    HKEY m_key = 0;

    void SetUp() override { ASSERT_EQ(create(hkey::CurrentUser, kBase, &m_key), 0); }
    void TearDown() override { m_registry.RegCloseKey(m_key); }

    std::int32_t create(HKEY parent, const std::string& path, HKEY* key,
                        std::uint32_t access = keyaccess::AllAccess) {
        return m_registry.RegCreateKeyEx(parent, path.c_str(), 0, nullptr, 0, access, nullptr, key,
                                         nullptr);
    }
    std::int32_t open(HKEY parent, const std::string& path, HKEY* key) {
        return m_registry.RegOpenKeyEx(parent, path.c_str(), 0, keyaccess::ReadControlQuery, key);
    }
    std::int32_t set(const char* name, std::uint32_t type, const std::string& data) {
        return m_registry.RegSetValueEx(m_key, name, 0, type,
                                        reinterpret_cast<const unsigned char*>(data.data()),
                                        static_cast<std::uint32_t>(data.size()));
    }
    // The size a probe reports.
    std::uint32_t size(const char* name) {
        std::uint32_t bytes = 0;
        EXPECT_EQ(m_registry.RegQueryValueEx(m_key, name, nullptr, nullptr, nullptr, &bytes), 0);
        return bytes;
    }
    // The value read into a buffer of exactly size bytes, or "#code".
    std::string read(const char* name, std::uint32_t bufferSize) {
        std::string buffer(bufferSize, '\xAA');
        std::uint32_t bytes = bufferSize;
        const std::int32_t rc = m_registry.RegQueryValueEx(
            m_key, name, nullptr, nullptr, reinterpret_cast<unsigned char*>(buffer.data()), &bytes);
        return rc == 0 ? buffer.substr(0, bytes) : "#" + std::to_string(rc);
    }
};

struct Unterminated {
    const char* name;
    std::uint32_t type;
    std::string given;
    std::string stored;
};

class RegistryTerminatorTest : public RegistryWindowsTest,
                               public testing::WithParamInterface<Unterminated> {};

TEST_P(RegistryTerminatorTest, TextWithoutItsNulIsStoredWithOne) {
    const Unterminated& row = GetParam();
    ASSERT_EQ(set("v", row.type, row.given), 0);
    const auto stored = static_cast<std::uint32_t>(row.stored.size());
    EXPECT_EQ(size("v"), stored);
    EXPECT_EQ(read("v", stored), row.stored);
    if (stored > 0) {
        EXPECT_EQ(read("v", stored - 1), "#234") << "a buffer one byte short";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, RegistryTerminatorTest,
    testing::Values(Unterminated{"Sz", regtype::Sz, "abc", "abc\0"s},
                    Unterminated{"ExpandSz", regtype::ExpandSz, "%HOME%", "%HOME%\0"s},
                    Unterminated{"MultiSz", regtype::MultiSz, "a\0b"s, "a\0b\0"s},
                    Unterminated{"SzTerminated", regtype::Sz, "abc\0"s, "abc\0"s},
                    Unterminated{"SzEmptyStaysEmpty", regtype::Sz, "", ""},
                    Unterminated{"BinaryAsGiven", regtype::Binary, "abc", "abc"},
                    Unterminated{"NoneAsGiven", regtype::None, "abc", "abc"}),
    [](const testing::TestParamInfo<Unterminated>& info) { return std::string(info.param.name); });

TEST_F(RegistryWindowsTest, EnumValueCutsANameThatDoesNotFit) {
    ASSERT_EQ(set("Wert", regtype::Dword, "\1\0\0\0"s), 0);
    for (const std::uint32_t bufferSize : {1U, 3U, 4U}) {
        std::string name(8, '\xAA');
        std::uint32_t length = bufferSize;
        std::uint32_t type = 0;
        std::array<unsigned char, 8> data{};
        std::uint32_t dataSize = data.size();
        EXPECT_EQ(m_registry.RegEnumValue(m_key, 0, name.data(), &length, nullptr, &type,
                                          data.data(), &dataSize),
                  winerror::MoreData);
        EXPECT_EQ(name,
                  std::string("Wert", bufferSize - 1) + '\0' + std::string(8 - bufferSize, '\xAA'))
            << "buffer of " << bufferSize;
        EXPECT_EQ(length, bufferSize) << "the length stays as given";
        EXPECT_EQ(type, regtype::Dword);
        EXPECT_EQ(dataSize, 4U) << "the data comes all the same";
    }
}

struct PathForm {
    const char* name;
    const char* path;
    std::int32_t code;
};

class RegistryPathTest : public RegistryWindowsTest,
                         public testing::WithParamInterface<PathForm> {};

TEST_P(RegistryPathTest, OpensAsWindowsDoes) {
    HKEY child = 0;
    ASSERT_EQ(create(m_key, "Kind", &child), 0);
    m_registry.RegCloseKey(child);
    HKEY opened = 0;
    EXPECT_EQ(open(m_key, GetParam().path, &opened), GetParam().code);
    EXPECT_EQ(opened != 0, GetParam().code == 0);
    m_registry.RegCloseKey(opened);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, RegistryPathTest,
    testing::Values(PathForm{"Plain", "Kind", 0}, PathForm{"TrailingSeparator", "Kind\\", 0},
                    PathForm{"DoubledTrailingSeparator", "Kind\\\\", 0},
                    PathForm{"LeadingSeparator", "\\Kind", winerror::BadPathname},
                    PathForm{"OnlySeparators", "\\\\", winerror::BadPathname},
                    PathForm{"EmptyLevelInside", "Kind\\\\x", winerror::InvalidParameter},
                    PathForm{"Missing", "Fehlt", winerror::FileNotFound}),
    [](const testing::TestParamInfo<PathForm>& info) { return std::string(info.param.name); });

TEST_F(RegistryWindowsTest, AWriteOnlyHandleAnswersTheKeysInformation) {
    ASSERT_EQ(set("abc", regtype::Sz, "12345\0"s), 0);
    HKEY writer = 0;
    ASSERT_EQ(
        m_registry.RegOpenKeyEx(hkey::CurrentUser, kBase, 0, keyaccess::RequiredSetValue, &writer),
        0);
    std::uint32_t values = 0;
    std::uint32_t maxName = 0;
    EXPECT_EQ(m_registry.RegQueryInfoKey(writer, nullptr, nullptr, nullptr, nullptr, nullptr,
                                         nullptr, &values, &maxName, nullptr, nullptr, nullptr),
              0);
    EXPECT_EQ(values, 1U);
    EXPECT_EQ(maxName, 3U);
    m_registry.RegCloseKey(writer);
}

// A path of count levels named "e".
std::string levels(std::size_t count) {
    std::string path;
    for (std::size_t i = 0; i < count; ++i) {
        path += i == 0 ? "e" : "\\e";
    }
    return path;
}

TEST_F(RegistryWindowsTest, KeysReachAtMost512LevelsBelowTheRoot) {
    // kBase is 2 levels deep already.
    HKEY deep = 0;
    EXPECT_EQ(create(m_key, levels(511), &deep), winerror::InvalidParameter);
    ASSERT_EQ(create(m_key, levels(510), &deep), 0);
    HKEY below = 0;
    EXPECT_EQ(create(deep, "zu tief", &below), winerror::InvalidParameter)
        << "counted through a handle too";
    EXPECT_EQ(open(hkey::CurrentUser, std::string(kBase) + "\\" + levels(510), &below), 0);
    m_registry.RegCloseKey(below);
    m_registry.RegCloseKey(deep);
}

TEST_F(RegistryWindowsTest, NamesWithinWindowsLimits) {
    HKEY key = 0;
    ASSERT_EQ(create(m_key, std::string(255, 'k'), &key), 0);
    m_registry.RegCloseKey(key);
    EXPECT_EQ(create(m_key, std::string(256, 'k'), &key), winerror::InvalidParameter);
    const std::string longest(16383, 'v');
    EXPECT_EQ(set(longest.c_str(), regtype::Sz, "x\0"s), 0);
    EXPECT_EQ(set((longest + "v").c_str(), regtype::Sz, "x\0"s), winerror::InvalidParameter);
}

} // namespace
} // namespace ostrevan
