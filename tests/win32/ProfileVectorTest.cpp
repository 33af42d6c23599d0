// Runs every recorded INI case on the real profile functions of this Windows (Wine's under
// make test-windows): return values, buffer bytes and the file after each write, byte for
// byte, as Windows writes it.

#include "platform/win32/Wide.h"
#include "platform/win32/Win32Profile.h"
#include "platform/win32/WindowsApi.h"
#include "tests/support/ProfileVectors.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ostrevan {
namespace {

std::string windowsFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    folder.resize(GetWindowsDirectoryW(folder.data(), MAX_PATH));
    return utf8Text(folder);
}

// The cases that write a file without a folder write it into the Windows folder.
void removeCaseFiles() {
    for (const auto& entry : std::filesystem::directory_iterator(test::pathOf(windowsFolder()))) {
        if (entry.path().filename().wstring().starts_with(L"oracle_")) {
            std::filesystem::remove(entry.path());
        }
    }
}

class ProfileVectorTest : public ::testing::TestWithParam<test::ProfileCase> {
protected:
    void SetUp() override { removeCaseFiles(); }
    void TearDown() override { removeCaseFiles(); }

    test::TempFolder m_temp;
    Win32Profile m_profile;
};

TEST_P(ProfileVectorTest, BehavesAsRecorded) {
    test::ProfilePlayer player(m_profile, windowsFolder(), m_temp.path(),
                               test::ProfileRules::Windows);
    player.play(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Recorded, ProfileVectorTest, ::testing::ValuesIn(test::profileCases()),
                         [](const ::testing::TestParamInfo<test::ProfileCase>& info) {
                             return test::profileTestName(info.param);
                         });

TEST(ProfileVectors, AllCasesLoaded) {
    EXPECT_EQ(test::profileCases().size(), 61U);
}

} // namespace
} // namespace ostrevan
