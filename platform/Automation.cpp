#include "platform/Automation.h"

#include "platform/Error.h"
#include "platform/Text.h"

namespace ostrevan {

void Automation::registerServer(std::string progId, Factory factory) {
    m_factories[upperCase(progId)] = std::move(factory);
}

std::unique_ptr<AutomationObject> Automation::CreateObject(std::string_view progId) const {
    const auto found = m_factories.find(upperCase(progId));
    if (found == m_factories.end()) {
        raise(err::CannotCreateObject);
    }
    auto object = found->second();
    if (!object) {
        raise(err::CannotCreateObject);
    }
    return object;
}

void Automation::raiseTypeMismatch() { raise(err::TypeMismatch); }

} // namespace ostrevan
