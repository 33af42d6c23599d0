#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace ostrevan {

// An object an automation server hands out; callers cast to the interface they expect.
class AutomationObject {
public:
    virtual ~AutomationObject() = default;
};

// CreateObject by ProgID. Servers register a factory under their ProgID; creating one that
// is not registered raises 429.
class Automation {
public:
    using Factory = std::function<std::unique_ptr<AutomationObject>()>;

    void registerServer(std::string progId, Factory factory);
    // Raises 429 when nothing is registered under progId (compared without regard to case).
    std::unique_ptr<AutomationObject> CreateObject(std::string_view progId) const;

    // CreateObject, then the interface; an object without it raises 13.
    template <class Interface> std::unique_ptr<Interface> create(std::string_view progId) const {
        auto object = CreateObject(progId);
        auto* typed = dynamic_cast<Interface*>(object.get());
        if (typed == nullptr) {
            raiseTypeMismatch();
        }
        object.release();
        return std::unique_ptr<Interface>(typed);
    }

private:
    [[noreturn]] static void raiseTypeMismatch();
    std::map<std::string, Factory> m_factories; // keyed by upper-cased ProgID
};

} // namespace ostrevan
