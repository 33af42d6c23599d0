#include "scan/ReferenceFilter.h"

#include "platform/Text.h"

#include <algorithm>
#include <string>

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

bool liesInside(std::string_view referenceFolder, std::string_view baseFolder) {
    if (referenceFolder.empty() || baseFolder.empty()) {
        return false;
    }
    const std::string reference = comparable(referenceFolder);
    const std::string base = comparable(baseFolder);
    return reference.starts_with(base) &&
           (reference.size() == base.size() || reference[base.size()] == '/');
}

} // namespace ostrevan
