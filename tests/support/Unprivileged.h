#pragma once

#include <functional>
#include <string>

namespace ostrevan::test {

// Runs check as a user without special rights, where permission checks bite: in this process
// when it has no such rights, else in a child process that drops to the user "nobody".
// check returns what went wrong, empty when all was well; the test fails with that text.
void expectUnprivileged(const std::function<std::string()>& check);

} // namespace ostrevan::test
