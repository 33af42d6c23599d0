#include "platform/CachedFileTypes.h"

#include "platform/Text.h"

namespace ostrevan {

CachedFileTypes::CachedFileTypes(const FileTypeRegistry& store) : m_store(store) {}

std::optional<std::string> CachedFileTypes::description(std::string_view extension) const {
    std::string key = upperCase(extension);
    const auto known = m_answers.find(key);
    if (known != m_answers.end()) {
        return known->second;
    }
    std::optional<std::string> answer = m_store.description(extension);
    m_answers.emplace(std::move(key), answer);
    return answer;
}

} // namespace ostrevan
