#pragma once

#include "platform/Error.h"

#include <cstdint>
#include <string>

namespace ostrevan {

// The common error routine and its state, the last error it recorded. One object lives as
// long as the program (the main window holds it) and is handed to the procedures that stamp
// their errors; only MessageError writes it.
class modErrorhandler final {
public:
    // Stamps source and description into error when its source is still the program's name
    // (in any letter case) and records it as the last error; an error stamped before, or one
    // from another component, stays as it is and is not recorded. Shows nothing.
    void MessageError(Error& error, std::string source, const std::string& description);

    const std::string& lastSource() const { return m_lastSource; }
    const std::string& lastDescription() const { return m_lastDescription; }
    std::int32_t lastNumber() const { return m_lastNumber; }

private:
    std::string m_lastSource;
    std::string m_lastDescription;
    std::int32_t m_lastNumber = 0;
};

// The stamping trap: hands the error being handled to MessageError with source and the
// error's own description, then raises it again as MessageError left it. Call only inside a
// catch block.
[[noreturn]] void raiseStamped(modErrorhandler& errors, std::string source);

} // namespace ostrevan
