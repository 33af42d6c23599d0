#include "platform/EventHandler.h"

#include "platform/Controls.h"
#include "platform/Error.h"

namespace ostrevan {

void runEventHandler(MessageBox& messageBox, const std::function<void(int)>& endProgram,
                     const std::function<void()>& handler) {
    const auto error = trapError(handler);
    if (!error) {
        return;
    }
    // Showing the message can itself fail (out of memory); the program ends all the same.
    trapError([&] { messageBox.show(standardErrorMessage(*error)); });
    endProgram(1);
}

} // namespace ostrevan
