#include "platform/posix/RegistryNames.h"

#include "platform/RegistryFunctions.h"
#include "platform/Text.h"

#include <algorithm>
#include <array>

namespace ostrevan {
namespace {

std::array<char, 256> makeFoldTable() {
    std::array<char, 256> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        const char byte = static_cast<char>(i);
        const std::string upper = toWindows1252(upperCase(fromWindows1252(std::string(1, byte))));
        const bool representable = upper.size() == 1 && (upper[0] != '?' || byte == '?');
        table[i] = representable ? upper[0] : byte;
    }
    return table;
}

} // namespace

std::string foldRegistryName(std::string_view windows1252) {
    static const std::array<char, 256> table = makeFoldTable();
    std::string folded(windows1252);
    for (char& c : folded) {
        c = table[static_cast<unsigned char>(c)];
    }
    return folded;
}

std::int32_t splitKeyPath(std::string_view path, std::vector<std::string>* levels) {
    if (path.starts_with('\\')) {
        return winerror::BadPathname;
    }
    while (path.ends_with('\\')) {
        path.remove_suffix(1);
    }
    for (std::size_t start = 0; start < path.size();) {
        const auto end = std::min(path.find('\\', start), path.size());
        const std::string_view level = path.substr(start, end - start);
        if (level.empty() || level.size() > kMaxKeyNameLength) {
            return winerror::InvalidParameter;
        }
        levels->emplace_back(level);
        start = end + 1;
    }
    return winerror::Success;
}

} // namespace ostrevan
