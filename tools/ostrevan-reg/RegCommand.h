#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace ostrevan::regtool {

// Where the command talks to its user: texts are UTF-8; confirm asks a yes-or-no question.
struct Console {
    std::ostream& out;
    std::ostream& err;
    std::function<bool(const std::string& question)> confirm;
};

// Exit statuses: 0 done, 1 the key or value does not exist or the store refused, 2 a usage
// error.
inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

// ostrevan-reg with its arguments (without the program name): query, add, delete, export and
// import on the user's store, or on the one --store PATH names.
int runReg(const std::vector<std::string>& args, Console& console);

} // namespace ostrevan::regtool
