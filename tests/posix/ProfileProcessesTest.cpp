// Profile writes from several real processes: none that reported success is lost, and a
// writer killed at any moment leaves the old or the new file whole and, after the next
// write, no temporary file.

#include "platform/Text.h"
#include "platform/posix/ProfileDocument.h"
#include "platform/posix/ProfileEngine.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace ostrevan {
namespace {

constexpr int kWriters = 4;
constexpr int kWritesEach = 500;
constexpr int kKills = 100;
constexpr std::size_t kLongValue = 200000;

std::string keyName(int writer, int write) {
    return "w" + std::to_string(writer) + "k" + std::to_string(write);
}

TEST(ProfileProcesses, ConcurrentWritersLoseNoAcknowledgedWrite) {
    const test::TempFolder temp;
    const std::string file = temp.file("geteilt.ini", "[S]\r\n");
    std::vector<pid_t> children;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            ProfileEngine engine(temp.path());
            for (int write = 0; write < kWritesEach; ++write) {
                if (!engine.WritePrivateProfileString("S", keyName(writer, write),
                                                      std::to_string(write), "geteilt.ini")) {
                    std::_Exit(1);
                }
            }
            std::_Exit(0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a write reported failure";
    }
    const ProfileDocument document(test::readBytes(file));
    int lost = 0;
    for (int writer = 0; writer < kWriters; ++writer) {
        for (int write = 0; write < kWritesEach; ++write) {
            lost += document.value("S", keyName(writer, write)) != std::to_string(write) ? 1 : 0;
        }
    }
    EXPECT_EQ(lost, 0) << "of " << kWriters * kWritesEach << " acknowledged writes";
    EXPECT_EQ(test::folderNames(temp.path()), std::vector<std::string>{"geteilt.ini"});
}

// The only contents any write below makes: one key whose value is one letter repeated.
bool isWhole(const std::string& bytes) {
    const std::string head = "[S]\r\nk=";
    if (bytes.size() != head.size() + kLongValue + 2 || !bytes.starts_with(head) ||
        !bytes.ends_with("\r\n")) {
        return false;
    }
    const char letter = bytes[head.size()];
    return letter >= 'a' && letter <= 'z' &&
           bytes.find_first_not_of(letter, head.size()) == bytes.size() - 2;
}

TEST(ProfileProcesses, KilledWritersLeaveAWholeFileAndTheNextWriteCleansUp) {
    const test::TempFolder temp;
    const std::string file =
        temp.file("getötet.ini", "[S]\r\nk=" + std::string(kLongValue, 'a') + "\r\n");
    const std::string name = toWindows1252("getötet.ini");
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> delay(1, 12);
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            ProfileEngine engine(temp.path());
            for (int write = 0;; ++write) {
                engine.WritePrivateProfileString(
                    "S", "k", std::string(kLongValue, static_cast<char>('a' + write % 26)), name);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delay(random)));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(isWhole(test::readBytes(file))) << "after kill " << kill;
    }
    ProfileEngine engine(temp.path());
    ASSERT_TRUE(engine.WritePrivateProfileString("S", "k", std::string(kLongValue, 'z'), name));
    EXPECT_TRUE(isWhole(test::readBytes(file)));
    EXPECT_EQ(test::folderNames(temp.path()), std::vector<std::string>{"getötet.ini"})
        << "temporary files left beside the file";
}

} // namespace
} // namespace ostrevan
