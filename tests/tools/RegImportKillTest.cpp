// ostrevan-reg import killed at random moments: the store holds the whole file or nothing
// of it, and SQLite finds it sound.

#include "platform/posix/RegistryStore.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <random>
#include <sqlite3.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace ostrevan {
namespace {

namespace fs = std::filesystem;

constexpr int kKeys = 2000;
constexpr int kKills = 50;

std::string importFile() {
    std::string file = "REGEDIT4\r\n\r\n";
    for (int i = 0; i < kKeys; ++i) {
        file += "[HKEY_CURRENT_USER\\Software\\Import\\Schl\xFCssel " + std::to_string(i) +
                "]\r\n\"Wert\"=\"" + std::to_string(i) + "\"\r\n\"Zahl\"=dword:0000002a\r\n\r\n";
    }
    return file;
}

pid_t startImport(const std::string& store, const std::string& file) {
    const pid_t child = fork();
    if (child == 0) {
        execl(OSTREVAN_REG_BINARY, OSTREVAN_REG_BINARY, "--store", store.c_str(), "import",
              file.c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    return child;
}

// The number of keys the import made, or -1 when they cannot be counted.
int importedKeys(const std::string& store) {
    RegistryStore registry(store);
    HKEY key = 0;
    const std::int32_t rc =
        registry.RegOpenKeyEx(hkey::CurrentUser, "Software\\Import", 0, keyaccess::AllAccess, &key);
    if (rc == winerror::FileNotFound) {
        return 0;
    }
    std::uint32_t subKeys = 0;
    if (rc != 0 ||
        registry.RegQueryInfoKey(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, nullptr, nullptr) != 0) {
        return -1;
    }
    registry.RegCloseKey(key);
    return static_cast<int>(subKeys);
}

std::string integrity(const std::string& store) {
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(store.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
    if (opened != SQLITE_OK) {
        return "cannot open";
    }
    std::string result;
    sqlite3_exec(
        raw, "PRAGMA integrity_check",
        [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) += values[0] != nullptr ? values[0] : "";
            return 0;
        },
        &result, nullptr);
    return result;
}

TEST(RegImportKill, AKilledImportLeavesAllOrNothing) {
    const test::TempFolder temp;
    const std::string base = temp.at("vorher.sqlite3");
    {
        RegistryStore registry(base);
        HKEY key = 0;
        ASSERT_EQ(registry.RegCreateKeyEx(hkey::CurrentUser, "Software\\Vorher", 0, nullptr, 0,
                                          keyaccess::AllAccess, nullptr, &key, nullptr),
                  0);
        registry.RegCloseKey(key);
    }
    const std::string file = temp.file("zweitausend.reg", importFile());

    // One import to its end: how long the window for the kills is.
    const std::string whole = temp.at("ganz.sqlite3");
    fs::copy_file(base, whole);
    const auto started = std::chrono::steady_clock::now();
    int status = 0;
    const pid_t first = startImport(whole, file);
    ASSERT_EQ(waitpid(first, &status, 0), first);
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - started);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(importedKeys(whole), kKeys);

    std::mt19937 random(15);
    std::uniform_int_distribution<std::int64_t> delay(0, took.count());
    int killedMidway = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const std::string store = temp.at("runde " + std::to_string(kill) + ".sqlite3");
        fs::copy_file(base, store);
        const pid_t child = startImport(store, file);
        ASSERT_NE(child, -1);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(child, SIGKILL);
        ASSERT_EQ(waitpid(child, &status, 0), child);
        killedMidway += WIFSIGNALED(status) ? 1 : 0;
        const int keys = importedKeys(store);
        EXPECT_TRUE(keys == 0 || keys == kKeys) << keys << " keys after kill " << kill;
        EXPECT_EQ(integrity(store), "ok") << "after kill " << kill;
        fs::remove(store);
    }
    EXPECT_GE(killedMidway, kKills / 2) << "most kills must land before the import ends";
}

} // namespace
} // namespace ostrevan
