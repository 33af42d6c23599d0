// Runs every recorded INI case on our engine in a temporary folder: return values, buffer
// bytes (and that nothing past them was written) and the file after each write.

#include "platform/posix/ProfileEngine.h"
#include "tests/support/ProfileVectors.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

class ProfileVectorTest : public ::testing::TestWithParam<test::ProfileCase> {
protected:
    test::TempFolder m_temp;
    // The recording's Windows folder is the configuration folder.
    std::string m_config = m_temp.folder("Konfiguration Ä");
    ProfileEngine m_engine{m_config};
};

TEST_P(ProfileVectorTest, BehavesAsRecorded) {
    test::ProfilePlayer player(m_engine, m_config, m_temp.path(), test::ProfileRules::Ostrevan);
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
