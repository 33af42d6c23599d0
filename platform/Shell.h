#pragma once

#include <string>

namespace ostrevan {

// Hands a file or URL to the desktop (ShellExecute). Its result is not looked at by callers,
// so it reports failure only through the return value: true when the desktop took it.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool execute(const std::string& verb, const std::string& file) = 0;
};

} // namespace ostrevan
