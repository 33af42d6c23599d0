#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ostrevan {

// The system's file-type registry: the type description registered for an extension
// (HKEY_CLASSES_ROOT "." + extension -> class -> its default value).
class FileTypeRegistry {
public:
    virtual ~FileTypeRegistry() = default;
    // extension without the dot; nothing when no description is registered.
    virtual std::optional<std::string> description(std::string_view extension) const = 0;
};

} // namespace ostrevan
