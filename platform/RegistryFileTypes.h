#pragma once

#include "platform/FileTypeRegistry.h"

#include <cstdint>
#include <string>

namespace ostrevan {

class RegistryFunctions;

// The file-type registry read from HKEY_CLASSES_ROOT through the registry functions, as the
// shell reads it: "." + extension -> default value (the class) -> the class's default value.
// Uncached: every question reads the registry anew. A registry that cannot be read at all
// (its store is damaged or cannot be opened) raises, naming storeName and the error, instead
// of leaving every file without a type.
class RegistryFileTypes final : public FileTypeRegistry {
public:
    explicit RegistryFileTypes(RegistryFunctions& registry, std::string storeName = {});
    std::optional<std::string> description(std::string_view extension) const override;

private:
    // The text of a key's default value (REG_SZ or REG_EXPAND_SZ, up to its first NUL), as
    // Windows-1252 bytes; nothing when the key, the value or text is missing.
    std::optional<std::string> defaultText(const std::string& key) const;

    [[noreturn]] void raiseUnreadable(std::int32_t code) const;

    RegistryFunctions& m_registry;
    std::string m_storeName;
};

} // namespace ostrevan
