#include "scan/ReferenceFilter.h"

#include "platform/Text.h"

#include <algorithm>

namespace ostrevan {
namespace {

std::string comparable(std::string_view folder) {
    std::string text = upperCase(folder);
    std::replace(text.begin(), text.end(), '\\', '/');
    if (!text.empty() && text.back() == '/') {
        text.pop_back();
    }
    return text;
}

} // namespace

BaseFolder::BaseFolder(std::string_view folder)
    : m_empty(folder.empty()), m_comparable(comparable(folder)) {}

bool BaseFolder::holds(std::string_view referenceFolder) const {
    if (referenceFolder.empty() || m_empty) {
        return false;
    }
    const std::string reference = comparable(referenceFolder);
    return reference.starts_with(m_comparable) &&
           (reference.size() == m_comparable.size() || reference[m_comparable.size()] == '/');
}

} // namespace ostrevan
