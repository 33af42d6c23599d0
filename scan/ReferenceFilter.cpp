#include "scan/ReferenceFilter.h"

#include "platform/FileSystem.h"
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

// An ASCII character as comparable() maps it.
char comparableAscii(char c) {
    return c == '\\' ? '/' : asciiUpperCase(c);
}

std::string_view withoutTrailingSeparator(std::string_view folder) {
    if (!folder.empty() && isPathSeparator(folder.back())) {
        folder.remove_suffix(1);
    }
    return folder;
}

} // namespace

BaseFolder::BaseFolder(std::string_view folder)
    : m_empty(folder.empty()), m_comparable(comparable(folder)),
      m_given(withoutTrailingSeparator(folder)) {}

bool BaseFolder::holds(std::string_view referenceFolder) const {
    if (referenceFolder.empty() || m_empty) {
        return false;
    }
    // A reference that starts with the folder's very bytes maps alike, up to the separator
    // after them (only one separator of the folder's is not compared).
    if ((m_given.empty() || !isPathSeparator(m_given.back())) &&
        referenceFolder.starts_with(m_given) &&
        (referenceFolder.size() == m_given.size() ||
         isPathSeparator(referenceFolder[m_given.size()]))) {
        return true;
    }
    if (!isAscii(referenceFolder)) {
        return holdsComparable(comparable(referenceFolder));
    }
    // ASCII maps byte for byte: compared in place, as most paths are, without a copy.
    std::string_view reference = referenceFolder;
    if (comparableAscii(reference.back()) == '/') {
        reference.remove_suffix(1);
    }
    return holdsComparable(reference);
}

// reference without its trailing separator, comparable as far as comparableAscii maps it.
bool BaseFolder::holdsComparable(std::string_view reference) const {
    const std::size_t length = m_comparable.size();
    if (reference.size() < length) {
        return false;
    }
    for (std::size_t i = 0; i < length; ++i) {
        if (comparableAscii(reference[i]) != m_comparable[i]) {
            return false;
        }
    }
    return reference.size() == length || comparableAscii(reference[length]) == '/';
}

} // namespace ostrevan
