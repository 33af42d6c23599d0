// Runs every recorded registry, environment and message case on the real registry of this
// Windows (Wine's under make test-windows), below HKEY_CURRENT_USER\Software\OracleTest.

#include "platform/win32/Win32Registry.h"
#include "platform/win32/WindowsApi.h"
#include "tests/support/RegistryVectors.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

void removeTestKey() {
    RegDeleteTreeW(windowsCurrentUser(), L"Software\\OracleTest");
}

class RegistryVectorTest : public testing::TestWithParam<test::RegistryCase> {
protected:
    void SetUp() override { removeTestKey(); }
    void TearDown() override { removeTestKey(); }
};

// The recording lists a key's values sorted by name, and so does Wine; Windows lists them
// in the order they were first written.
TEST_P(RegistryVectorTest, BehavesAsRecorded) {
    Win32Registry registry;
    test::RegistryPlayer player(
        registry, [&registry] { return registry.lastError(); }, test::ValueOrder::AsRecorded);
    player.play(GetParam());
}

TEST(RegistryVectorFiles, AreAllThere) {
    EXPECT_EQ(test::allRegistryCases().size(), 39U + 10U + 16U);
}

INSTANTIATE_TEST_SUITE_P(Recorded, RegistryVectorTest, testing::ValuesIn(test::allRegistryCases()),
                         [](const testing::TestParamInfo<test::RegistryCase>& info) {
                             return test::registryTestName(info.param);
                         });

} // namespace
} // namespace ostrevan
