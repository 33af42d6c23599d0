#include "platform/posix/RegistryNames.h"

#include "platform/Text.h"

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

} // namespace ostrevan
