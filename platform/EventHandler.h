#pragma once

#include <functional>

namespace ostrevan {

class MessageBox;

// Runs an event handler. An error that reaches it untrapped shows the standard error message
// and ends the program with exit code 1; no exception leaves this function.
void runEventHandler(MessageBox& messageBox, const std::function<void(int)>& endProgram,
                     const std::function<void()>& handler);

} // namespace ostrevan
