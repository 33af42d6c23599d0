#include "platform/posix/RegistryEnvironment.h"

#include "platform/Text.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>

namespace ostrevan {
namespace {

std::optional<std::string> variable(std::string_view windows1252Name) {
    const std::string name = fromWindows1252(windows1252Name);
    if (const char* value = std::getenv(name.c_str()); value != nullptr) {
        return toWindows1252(value);
    }
    const std::string wanted = upperCase(name);
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string_view::npos && upperCase(text.substr(0, equals)) == wanted) {
            return toWindows1252(text.substr(equals + 1));
        }
    }
    return std::nullopt;
}

std::string expand(std::string_view source) {
    std::string out;
    std::size_t pos = 0;
    while (pos < source.size()) {
        const auto open = source.find('%', pos);
        const auto close =
            open == std::string_view::npos ? std::string_view::npos : source.find('%', open + 1);
        if (close == std::string_view::npos) {
            out.append(source.substr(pos));
            break;
        }
        out.append(source.substr(pos, open - pos));
        const std::string_view name = source.substr(open + 1, close - open - 1);
        const auto value = name.empty() ? std::nullopt : variable(name);
        out.append(value ? std::string_view(*value) : source.substr(open, close - open + 1));
        pos = close + 1;
    }
    return out;
}

} // namespace

std::uint32_t expandEnvironmentStrings(const char* source, char* target, std::uint32_t size) {
    const std::string expanded = expand(source == nullptr ? "" : source);
    if (target != nullptr && size > 0) {
        const std::size_t kept = std::min<std::size_t>(expanded.size(), size - 1);
        std::copy_n(expanded.begin(), kept, target);
        target[kept] = '\0';
    }
    return static_cast<std::uint32_t>(expanded.size() + 1);
}

} // namespace ostrevan
