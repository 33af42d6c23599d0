#pragma once

#include "platform/RegistryFunctions.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrevan::regtool {

// A key named on the command line or in a .reg file: its root and the path below it (UTF-8).
struct KeyPath {
    HKEY root = 0;
    std::string rootName; // written in full, e.g. HKEY_CURRENT_USER
    std::string subKey;

    std::string fullName() const { return subKey.empty() ? rootName : rootName + "\\" + subKey; }
};

// "HKCU\Software\X" or "HKEY_CURRENT_USER\Software\X"; the root without regard to case.
std::optional<KeyPath> parseKeyPath(std::string_view text);

// One value as stored: name and data are Windows-1252 bytes.
struct Value {
    std::string name;
    std::uint32_t type = 0;
    std::string data;
};

struct KeyContent {
    std::vector<Value> values;        // in the store's order
    std::vector<std::string> subKeys; // UTF-8, sorted as the store lists them
};

// A key handle, closed when it goes.
class OpenKey final {
public:
    explicit OpenKey(RegistryFunctions& registry) : m_registry(&registry) {}
    OpenKey(OpenKey&& other) noexcept;
    OpenKey& operator=(OpenKey&&) = delete;
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    ~OpenKey();
    HKEY* out() { return &m_handle; }
    HKEY handle() const { return m_handle; }

private:
    RegistryFunctions* m_registry;
    HKEY m_handle = 0;
};

// Opens a key for reading.
std::int32_t openKey(RegistryFunctions& registry, HKEY parent, const std::string& subKey,
                     OpenKey* opened);

// Reads a key's values and subkey names; the Win32 code of the first failure otherwise.
std::int32_t readKey(RegistryFunctions& registry, const KeyPath& key, KeyContent* content);
std::int32_t readKey(RegistryFunctions& registry, HKEY key, KeyContent* content);

// Hands key and every key below it to visit, depth first in the store's order. Each key is
// read once, through its parent's handle, so that the time grows with the number of keys
// however deep they lie; the way down is kept on the heap, not the stack. The code of the
// first failure, or 0.
std::int32_t walkKeys(RegistryFunctions& registry, const KeyPath& key,
                      const std::function<void(const KeyPath&, const KeyContent&)>& visit);

// Writes or deletes one value, creating the key (and its parents) first.
std::int32_t createKey(RegistryFunctions& registry, const KeyPath& key);
std::int32_t writeValue(RegistryFunctions& registry, const KeyPath& key, const Value& value);
std::int32_t deleteValue(RegistryFunctions& registry, const KeyPath& key, const std::string& name);

// REG_SZ and its relatives by name, and back; nothing for an unknown name.
std::optional<std::uint32_t> typeCode(std::string_view name);
std::string typeName(std::uint32_t type);

// REG_DWORD data: four bytes, least significant first.
std::uint32_t dwordOf(std::string_view bytes);
std::string dwordData(std::uint32_t number);

// The system's text for a code, without its line end.
std::string messageText(RegistryFunctions& registry, std::int32_t code);

} // namespace ostrevan::regtool
