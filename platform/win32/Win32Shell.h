#pragma once

#include "platform/Shell.h"

namespace ostrevan {

// The shell hand-off as ShellExecuteW: no window, empty parameters and working folder,
// a normal window for what opens.
class Win32Shell final : public Shell {
public:
    bool execute(const std::string& verb, const std::string& file) override;
};

} // namespace ostrevan
