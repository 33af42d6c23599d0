#pragma once

#include "platform/FileTypeRegistry.h"

#include <map>

namespace ostrevan {

// Remembers the store's answer for each extension, without regard to case (the registry's
// keys ignore case), so that a scan asks the store once per extension. Lives for one scan:
// a change to the store while it lives is not seen. An error of the store is not kept.
class CachedFileTypes final : public FileTypeRegistry {
public:
    // store must outlive this object.
    explicit CachedFileTypes(const FileTypeRegistry& store);

    std::optional<std::string> description(std::string_view extension) const override;

private:
    const FileTypeRegistry& m_store;
    // Keyed by the upper-cased extension; filled while answering, hence mutable.
    mutable std::map<std::string, std::optional<std::string>, std::less<>> m_answers;
};

} // namespace ostrevan
