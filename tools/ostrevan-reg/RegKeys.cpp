#include "tools/ostrevan-reg/RegKeys.h"

#include "platform/Text.h"

#include <algorithm>
#include <array>
#include <utility>

namespace ostrevan::regtool {
namespace {

constexpr std::uint32_t kKeyRead = 0x20019;

struct Root {
    std::string_view shortName;
    std::string_view fullName;
    HKEY handle;
};

constexpr std::array<Root, 3> kRoots{{{"HKCR", "HKEY_CLASSES_ROOT", hkey::ClassesRoot},
                                      {"HKCU", "HKEY_CURRENT_USER", hkey::CurrentUser},
                                      {"HKLM", "HKEY_LOCAL_MACHINE", hkey::LocalMachine}}};

constexpr std::array<std::pair<std::uint32_t, std::string_view>, 8> kTypeNames{{
    {regtype::None, "REG_NONE"},
    {regtype::Sz, "REG_SZ"},
    {regtype::ExpandSz, "REG_EXPAND_SZ"},
    {regtype::Binary, "REG_BINARY"},
    {regtype::Dword, "REG_DWORD"},
    {regtype::DwordBigEndian, "REG_DWORD_BIG_ENDIAN"},
    {regtype::Link, "REG_LINK"},
    {regtype::MultiSz, "REG_MULTI_SZ"},
}};

std::int32_t readValues(RegistryFunctions& registry, HKEY key, std::uint32_t count,
                        std::uint32_t maxName, std::uint32_t maxData, std::vector<Value>* values) {
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string name(maxName + 1, '\0');
        std::string data(maxData + 1, '\0');
        std::uint32_t nameLength = maxName + 1;
        std::uint32_t size = maxData + 1;
        std::uint32_t type = 0;
        const std::int32_t rc =
            registry.RegEnumValue(key, i, name.data(), &nameLength, nullptr, &type,
                                  reinterpret_cast<unsigned char*>(data.data()), &size);
        if (rc != winerror::Success) {
            return rc;
        }
        values->push_back({name.substr(0, nameLength), type, data.substr(0, size)});
    }
    return winerror::Success;
}

} // namespace

std::optional<KeyPath> parseKeyPath(std::string_view text) {
    const auto separator = text.find('\\');
    const std::string root = upperCase(text.substr(0, separator));
    for (const Root& candidate : kRoots) {
        if (root == candidate.shortName || root == candidate.fullName) {
            std::string subKey =
                separator == std::string_view::npos ? "" : std::string(text.substr(separator + 1));
            while (!subKey.empty() && subKey.back() == '\\') {
                subKey.pop_back();
            }
            return KeyPath{candidate.handle, std::string(candidate.fullName), subKey};
        }
    }
    return std::nullopt;
}

OpenKey::OpenKey(OpenKey&& other) noexcept
    : m_registry(other.m_registry), m_handle(std::exchange(other.m_handle, 0)) {}

OpenKey::~OpenKey() {
    if (m_handle != 0) {
        m_registry->RegCloseKey(m_handle);
    }
}

std::int32_t openKey(RegistryFunctions& registry, HKEY parent, const std::string& subKey,
                     OpenKey* opened) {
    return registry.RegOpenKeyEx(parent, toWindows1252(subKey).c_str(), 0, kKeyRead, opened->out());
}

std::int32_t readKey(RegistryFunctions& registry, const KeyPath& key, KeyContent* content) {
    OpenKey opened(registry);
    const std::int32_t rc = openKey(registry, key.root, key.subKey, &opened);
    return rc == winerror::Success ? readKey(registry, opened.handle(), content) : rc;
}

std::int32_t readKey(RegistryFunctions& registry, HKEY key, KeyContent* content) {
    std::uint32_t subKeys = 0;
    std::uint32_t maxSubKey = 0;
    std::uint32_t values = 0;
    std::uint32_t maxName = 0;
    std::uint32_t maxData = 0;
    std::int32_t rc =
        registry.RegQueryInfoKey(key, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr,
                                 &values, &maxName, &maxData, nullptr, nullptr);
    if (rc == winerror::Success) {
        rc = readValues(registry, key, values, maxName, maxData, &content->values);
    }
    for (std::uint32_t i = 0; rc == winerror::Success && i < subKeys; ++i) {
        std::string name(maxSubKey + 1, '\0');
        std::uint32_t length = maxSubKey + 1;
        rc =
            registry.RegEnumKeyEx(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == winerror::Success) {
            content->subKeys.push_back(fromWindows1252(name.substr(0, length)));
        }
    }
    return rc;
}

namespace {

// A key on the way down: its subkeys are opened through its handle, one after the other.
struct WalkStep {
    OpenKey opened;
    KeyPath key;
    std::vector<std::string> subKeys;
    std::size_t next = 0;
};

std::int32_t visitKey(RegistryFunctions& registry, OpenKey opened, KeyPath key,
                      const std::function<void(const KeyPath&, const KeyContent&)>& visit,
                      std::vector<WalkStep>* path) {
    KeyContent content;
    const std::int32_t rc = readKey(registry, opened.handle(), &content);
    if (rc == winerror::Success) {
        visit(key, content);
        path->push_back({std::move(opened), std::move(key), std::move(content.subKeys), 0});
    }
    return rc;
}

} // namespace

std::int32_t walkKeys(RegistryFunctions& registry, const KeyPath& key,
                      const std::function<void(const KeyPath&, const KeyContent&)>& visit) {
    std::vector<WalkStep> path;
    OpenKey top(registry);
    std::int32_t rc = openKey(registry, key.root, key.subKey, &top);
    if (rc == winerror::Success) {
        rc = visitKey(registry, std::move(top), key, visit, &path);
    }
    while (rc == winerror::Success && !path.empty()) {
        WalkStep& parent = path.back();
        if (parent.next == parent.subKeys.size()) {
            path.pop_back();
            continue;
        }
        // parent goes stale when the next step is added.
        const std::string& name = parent.subKeys[parent.next++];
        KeyPath child = parent.key;
        child.subKey = child.subKey.empty() ? name : child.subKey + "\\" + name;
        OpenKey opened(registry);
        rc = openKey(registry, parent.opened.handle(), name, &opened);
        if (rc == winerror::Success) {
            rc = visitKey(registry, std::move(opened), std::move(child), visit, &path);
        }
    }
    return rc;
}

std::int32_t createKey(RegistryFunctions& registry, const KeyPath& key) {
    OpenKey created(registry);
    return registry.RegCreateKeyEx(key.root, toWindows1252(key.subKey).c_str(), 0, nullptr, 0,
                                   keyaccess::AllAccess, nullptr, created.out(), nullptr);
}

std::int32_t writeValue(RegistryFunctions& registry, const KeyPath& key, const Value& value) {
    OpenKey created(registry);
    const std::int32_t rc =
        registry.RegCreateKeyEx(key.root, toWindows1252(key.subKey).c_str(), 0, nullptr, 0,
                                keyaccess::AllAccess, nullptr, created.out(), nullptr);
    if (rc != winerror::Success) {
        return rc;
    }
    return registry.RegSetValueEx(created.handle(), value.name.c_str(), 0, value.type,
                                  reinterpret_cast<const unsigned char*>(value.data.data()),
                                  static_cast<std::uint32_t>(value.data.size()));
}

std::int32_t deleteValue(RegistryFunctions& registry, const KeyPath& key, const std::string& name) {
    OpenKey opened(registry);
    const std::int32_t rc = registry.RegOpenKeyEx(key.root, toWindows1252(key.subKey).c_str(), 0,
                                                  keyaccess::AllAccess, opened.out());
    return rc != winerror::Success ? rc : registry.RegDeleteValue(opened.handle(), name.c_str());
}

std::optional<std::uint32_t> typeCode(std::string_view name) {
    const std::string upper = upperCase(name);
    for (const auto& [code, typeText] : kTypeNames) {
        if (upper == typeText) {
            return code;
        }
    }
    return std::nullopt;
}

std::string typeName(std::uint32_t type) {
    for (const auto& [code, typeText] : kTypeNames) {
        if (code == type) {
            return std::string(typeText);
        }
    }
    return "REG_UNKNOWN(" + std::to_string(type) + ")";
}

std::uint32_t dwordOf(std::string_view bytes) {
    std::uint32_t number = 0;
    for (std::size_t i = std::min<std::size_t>(bytes.size(), 4); i > 0; --i) {
        number = (number << 8) | static_cast<unsigned char>(bytes[i - 1]);
    }
    return number;
}

std::string dwordData(std::uint32_t number) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) {
        bytes += static_cast<char>((number >> (8 * i)) & 0xFF);
    }
    return bytes;
}

std::string messageText(RegistryFunctions& registry, std::int32_t code) {
    std::array<char, 512> buffer{};
    const std::uint32_t stored =
        registry.FormatMessage(FormatMessageFromSystem, nullptr, static_cast<std::uint32_t>(code),
                               0, buffer.data(), buffer.size(), nullptr);
    if (stored == 0) {
        return "Fehler " + std::to_string(code);
    }
    std::string text(buffer.data(), stored);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return fromWindows1252(text);
}

} // namespace ostrevan::regtool
