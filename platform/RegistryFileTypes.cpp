#include "platform/RegistryFileTypes.h"

#include "platform/RegistryFunctions.h"
#include "platform/Text.h"

namespace ostrevan {

RegistryFileTypes::RegistryFileTypes(RegistryFunctions& registry) : m_registry(registry) {}

std::optional<std::string> RegistryFileTypes::defaultText(const std::string& key) const {
    HKEY handle = 0;
    if (m_registry.RegOpenKeyEx(hkey::ClassesRoot, key.c_str(), 0, keyaccess::ReadControlQuery,
                                &handle) != winerror::Success) {
        return std::nullopt;
    }
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::string text;
    std::int32_t rc = m_registry.RegQueryValueEx(handle, "", nullptr, &type, nullptr, &size);
    // The value may grow between the two calls; then ask again with the new size.
    while (rc == winerror::Success || rc == winerror::MoreData) {
        text.assign(size, '\0');
        rc = m_registry.RegQueryValueEx(handle, "", nullptr, &type,
                                        reinterpret_cast<unsigned char*>(text.data()), &size);
        if (rc == winerror::Success) {
            text.resize(size);
            break;
        }
    }
    m_registry.RegCloseKey(handle);
    if (rc != winerror::Success || (type != regtype::Sz && type != regtype::ExpandSz)) {
        return std::nullopt;
    }
    return text.substr(0, text.find('\0'));
}

std::optional<std::string> RegistryFileTypes::description(std::string_view extension) const {
    const auto className = defaultText("." + toWindows1252(extension));
    if (!className || className->empty()) {
        return std::nullopt;
    }
    const auto text = defaultText(*className);
    if (!text || text->empty()) {
        return std::nullopt;
    }
    return fromWindows1252(*text);
}

} // namespace ostrevan
