// Writes to one store from several real processes at once: every write that reported
// success is there afterwards.

#include "platform/posix/RegistryStore.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace ostrevan {
namespace {

constexpr int kWriters = 4;
constexpr int kWritesEach = 500;

std::string valueName(int writer, int write) {
    return "w" + std::to_string(writer) + "v" + std::to_string(write);
}

// Every writer writes its own values into the same key, each write its own call.
bool writeAll(const std::string& store, int writer) {
    RegistryStore registry(store);
    HKEY key = 0;
    if (registry.RegCreateKeyEx(hkey::CurrentUser, "Software\\Geteilt", 0, nullptr, 0,
                                keyaccess::AllAccess, nullptr, &key, nullptr) != 0) {
        return false;
    }
    for (int write = 0; write < kWritesEach; ++write) {
        const std::string data = std::to_string(write) + '\0';
        if (registry.RegSetValueEx(key, valueName(writer, write).c_str(), 0, regtype::Sz,
                                   reinterpret_cast<const unsigned char*>(data.data()),
                                   static_cast<std::uint32_t>(data.size())) != 0) {
            return false;
        }
    }
    return registry.RegCloseKey(key) == 0;
}

TEST(RegistryProcesses, ConcurrentWritersLoseNoAcknowledgedWrite) {
    const test::TempFolder temp;
    const std::string store = temp.at("registry.sqlite3");
    { RegistryStore created(store); }
    std::vector<pid_t> children;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            std::_Exit(writeAll(store, writer) ? 0 : 1);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a write reported failure";
    }
    RegistryStore registry(store);
    HKEY key = 0;
    ASSERT_EQ(registry.RegOpenKeyEx(hkey::CurrentUser, "Software\\Geteilt", 0,
                                    keyaccess::ReadControlQuery, &key),
              0);
    int lost = 0;
    for (int writer = 0; writer < kWriters; ++writer) {
        for (int write = 0; write < kWritesEach; ++write) {
            std::array<char, 16> data{};
            std::uint32_t size = data.size();
            const bool found = registry.RegQueryValueEx(
                                   key, valueName(writer, write).c_str(), nullptr, nullptr,
                                   reinterpret_cast<unsigned char*>(data.data()), &size) == 0 &&
                               std::string(data.data()) == std::to_string(write);
            lost += found ? 0 : 1;
        }
    }
    EXPECT_EQ(lost, 0) << "of " << kWriters * kWritesEach << " acknowledged writes";
}

} // namespace
} // namespace ostrevan
