#pragma once

#include <optional>

namespace ostrevan {

// Ends the program with an exit code after an untrapped error. Once the event loop runs it
// ends the loop; before (while the main window loads) the loop cannot be ended yet, so main
// asks endedBeforeLoop and does not start it.
class ProgramEnd final {
public:
    void end(int code);
    std::optional<int> endedBeforeLoop() const { return m_code; }

private:
    std::optional<int> m_code;
};

} // namespace ostrevan
