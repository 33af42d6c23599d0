#include "errors/modErrorhandler.h"

#include "platform/Text.h"

namespace ostrevan {

void modErrorhandler::MessageError(Error& error, std::string source,
                                   const std::string& description) {
    if (upperCase(error.source()) != upperCase(kProgramName)) {
        return;
    }
    error.setSource(source);
    error.setDescription(description);
    m_lastSource = std::move(source);
    m_lastDescription = description;
    m_lastNumber = error.number();
}

void raiseStamped(modErrorhandler& errors, std::string source) {
    Error error = caughtError();
    const std::string description = error.description();
    errors.MessageError(error, std::move(source), description);
    throw error;
}

} // namespace ostrevan
