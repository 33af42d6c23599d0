// Runs every recorded registry, environment and message case on a fresh temporary store.

#include "platform/posix/RegistryStore.h"
#include "tests/support/RegistryVectors.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

class RegistryVectorTest : public testing::TestWithParam<test::RegistryCase> {};

TEST_P(RegistryVectorTest, BehavesAsRecorded) {
    const test::TempFolder folder;
    RegistryStore store(folder.at("registry.sqlite3"));
    test::RegistryPlayer player(
        store, [&store] { return store.lastError(); }, test::ValueOrder::FirstWritten);
    player.play(GetParam());
}

TEST(RegistryVectorFiles, AreAllThere) {
    EXPECT_EQ(test::registryCases("registry.json").size(), 39U);
    EXPECT_EQ(test::registryCases("environment.json").size(), 10U);
    EXPECT_EQ(test::registryCases("formatmessage.json").size(), 16U);
}

INSTANTIATE_TEST_SUITE_P(Recorded, RegistryVectorTest, testing::ValuesIn(test::allRegistryCases()),
                         [](const testing::TestParamInfo<test::RegistryCase>& info) {
                             return test::registryTestName(info.param);
                         });

} // namespace
} // namespace ostrevan
