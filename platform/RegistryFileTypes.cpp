#include "platform/RegistryFileTypes.h"

#include "platform/Error.h"
#include "platform/RegistryFunctions.h"
#include "platform/Text.h"

namespace ostrevan {

namespace {

// The codes of a store that cannot be read at all, as opposed to a key that is not there.
bool storeUnreadable(std::int32_t code) {
    return code == winerror::BadDatabase || code == winerror::CannotOpen ||
           code == winerror::CannotRead;
}

} // namespace

RegistryFileTypes::RegistryFileTypes(RegistryFunctions& registry, std::string storeName)
    : m_registry(registry), m_storeName(std::move(storeName)) {}

void RegistryFileTypes::raiseUnreadable(std::int32_t code) const {
    constexpr std::uint32_t kTextSize = 512;
    std::string text(kTextSize, '\0');
    const std::uint32_t stored =
        m_registry.FormatMessage(FormatMessageFromSystem, nullptr, static_cast<std::uint32_t>(code),
                                 0, text.data(), kTextSize, nullptr);
    text.resize(stored > 0 && stored <= kTextSize ? stored : 0);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    std::string description = "Die Dateitypen-Registrierung";
    if (!m_storeName.empty()) {
        description += " " + m_storeName;
    }
    description += " kann nicht gelesen werden";
    if (!text.empty()) {
        description += ": " + fromWindows1252(text);
    }
    raise(code, std::string(kProgramName), description);
}

std::optional<std::string> RegistryFileTypes::defaultText(const std::string& key) const {
    HKEY handle = 0;
    const std::int32_t opened = m_registry.RegOpenKeyEx(hkey::ClassesRoot, key.c_str(), 0,
                                                        keyaccess::ReadControlQuery, &handle);
    if (storeUnreadable(opened)) {
        raiseUnreadable(opened);
    }
    if (opened != winerror::Success) {
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
