#pragma once

#include "platform/Shell.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace ostrevan::fakes {

// A shell whose hand-off fails with an exception; it records each call first.
class ThrowingShell final : public Shell {
public:
    bool execute(const std::string& verb, const std::string& file) override {
        calls.push_back(verb + " " + file);
        throw std::runtime_error("no desktop");
    }
    std::vector<std::string> calls;
};

} // namespace ostrevan::fakes
