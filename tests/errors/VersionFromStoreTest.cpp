#include "errors/ErrorReportMail.h"

#include "platform/posix/RegistryStore.h"
#include "storage/clsSysRegistry.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

TEST(VersionFromTheStore, ReadsWhatTheStoreHolds) {
    const test::TempFolder folder;
    RegistryStore store(folder.at("registry.sqlite3"));
    EXPECT_EQ(versionText(store), "") << "a new store holds no version";

    const std::int32_t text = regtype::Sz;
    clsSysRegistry(store).SetRegistryValue(regroot::LocalMachine, "Software\\Tavrosk\\SolidEdge",
                                           "Version", text, std::string("ST10 für"));
    EXPECT_EQ(versionText(store), "ST10 für");
}

TEST(VersionFromTheStore, AnUnusableStoreLeavesItEmpty) {
    const test::TempFolder folder;
    RegistryStore store(folder.folder("ein Ordner, keine Datei"));
    EXPECT_EQ(versionText(store), "");
}

} // namespace
} // namespace ostrevan
