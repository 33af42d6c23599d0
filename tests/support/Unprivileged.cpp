#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <grp.h>
#include <iostream>
#include <unistd.h>

namespace ostrevan::test {
namespace {

constexpr uid_t kNobody = 65534;

void runAsNobody(const std::function<std::string()>& check) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
        std::cerr << "cannot drop privileges";
        std::_Exit(2);
    }
    const std::string failure = check();
    std::cerr << failure;
    std::_Exit(failure.empty() ? 0 : 1);
}

} // namespace

void expectUnprivileged(const std::function<std::string()>& check) {
    if (::geteuid() != 0) {
        EXPECT_EQ(check(), "");
        return;
    }
    EXPECT_EXIT(runAsNobody(check), ::testing::ExitedWithCode(0), "^$");
}

} // namespace ostrevan::test
