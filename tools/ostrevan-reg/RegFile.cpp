#include "tools/ostrevan-reg/RegFile.h"

#include "platform/Text.h"
#include "platform/posix/RegistryNames.h"

#include <cstdio>
#include <span>
#include <utility>

namespace ostrevan::regtool {
namespace {

constexpr std::string_view kVersion4 = "REGEDIT4";
constexpr std::string_view kVersion5 = "Windows Registry Editor Version 5.00";
constexpr std::size_t kHexLineWidth = 76;

std::string quoted(std::string_view bytes) {
    std::string out = "\"";
    for (const char c : bytes) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

bool isPlainText(const Value& value) {
    return value.type == regtype::Sz && !value.data.empty() && value.data.back() == '\0' &&
           value.data.find('\0') == value.data.size() - 1;
}

// "hex:41,42,..." wrapped as regedit wraps it, continuing lines with a backslash.
std::string hexData(std::string line, std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::array<char, 4> pair{};
        std::snprintf(pair.data(), pair.size(), "%02x", static_cast<unsigned char>(bytes[i]));
        line += pair.data();
        if (i + 1 < bytes.size()) {
            line += ',';
            if (line.size() >= kHexLineWidth) {
                out += line + "\\\r\n";
                line = "  ";
            }
        }
    }
    return out + line;
}

std::string valueLine(const Value& value) {
    const std::string name = value.name.empty() ? "@" : quoted(value.name);
    if (isPlainText(value)) {
        return name + "=" + quoted(std::string_view(value.data).substr(0, value.data.size() - 1));
    }
    if (value.type == regtype::Dword && value.data.size() == 4) {
        const std::uint32_t number = dwordOf(value.data);
        std::array<char, 16> digits{};
        std::snprintf(digits.data(), digits.size(), "%08x", number);
        return name + "=dword:" + digits.data();
    }
    if (value.type == regtype::Binary) {
        return hexData(name + "=hex:", value.data);
    }
    std::array<char, 16> type{};
    std::snprintf(type.data(), type.size(), "%x", value.type);
    return hexData(name + "=hex(" + type.data() + "):", value.data);
}

// Why the registry would refuse the key, in German; empty when it would not.
std::string keyFault(const KeyPath& key) {
    std::vector<std::string> levels;
    switch (splitKeyPath(toWindows1252(key.subKey), &levels)) {
    case winerror::Success:
        return levels.size() > kMaxKeyDepth
                   ? "Der Schlüssel liegt tiefer als " + std::to_string(kMaxKeyDepth) + " Ebenen."
                   : std::string();
    case winerror::BadPathname:
        return "Der Schlüsselpfad beginnt mit \\.";
    default:
        return "Der Schlüsselpfad hat eine leere Ebene oder einen Namen über " +
               std::to_string(kMaxKeyNameLength) + " Zeichen.";
    }
}

// The file as UTF-8 text, whichever of the three forms it came in.
std::string decode(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data()) + 2;
        return fromUtf16Le(std::span<const std::uint8_t>(data, bytes.size() - 2));
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        return std::string(bytes.substr(3));
    }
    return fromWindows1252(bytes);
}

// Lines without their ends, continuation lines joined.
std::vector<std::pair<int, std::string>> logicalLines(const std::string& text) {
    std::vector<std::pair<int, std::string>> lines;
    bool continues = false;
    int number = 0;
    for (std::size_t start = 0; start <= text.size();) {
        auto end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        while (!line.empty() &&
               (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
            line.pop_back();
        }
        if (continues) {
            lines.back().second +=
                line.substr(std::min(line.find_first_not_of(" \t"), line.size()));
        } else {
            lines.emplace_back(number, line);
        }
        continues = !lines.back().second.empty() && lines.back().second.back() == '\\' &&
                    lines.back().second.find("=hex") != std::string::npos;
        if (continues) {
            lines.back().second.pop_back();
        }
    }
    return lines;
}

// A quoted text at pos, with \\ and \" unescaped; pos ends after the closing quote.
std::optional<std::string> unquote(const std::string& line, std::size_t* pos) {
    if (*pos >= line.size() || line[*pos] != '"') {
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = *pos + 1; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            out += line[++i];
        } else if (line[i] == '"') {
            *pos = i + 1;
            return out;
        } else {
            out += line[i];
        }
    }
    return std::nullopt;
}

std::optional<std::string> hexBytes(std::string_view text) {
    std::string bytes;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find(',', start);
        end = end == std::string_view::npos ? text.size() : end;
        std::string_view piece = text.substr(start, end - start);
        while (!piece.empty() && (piece.front() == ' ' || piece.front() == '\t')) {
            piece.remove_prefix(1);
        }
        if (piece.empty() || piece.size() > 2 ||
            piece.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos) {
            return std::nullopt;
        }
        bytes += static_cast<char>(std::stoi(std::string(piece), nullptr, 16));
        start = end + 1;
    }
    return bytes;
}

// The data after "=" of a value line.
std::optional<Value> parseData(std::string_view data, bool unicode) {
    const std::string text(data);
    std::size_t pos = 0;
    if (text.starts_with("\"")) {
        const auto unquoted = unquote(text, &pos);
        if (!unquoted || pos != text.size()) {
            return std::nullopt;
        }
        return Value{"", regtype::Sz, toWindows1252(*unquoted) + '\0'};
    }
    if (text.starts_with("dword:")) {
        const std::string digits = text.substr(6);
        if (digits.empty() || digits.size() > 8 ||
            digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            return std::nullopt;
        }
        const auto number = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
        return Value{"", regtype::Dword, dwordData(number)};
    }
    std::uint32_t type = regtype::Binary;
    std::size_t colon = 0;
    if (text.starts_with("hex:")) {
        colon = 3;
    } else if (text.starts_with("hex(")) {
        const auto close = text.find("):");
        const std::string code = close == std::string::npos ? "" : text.substr(4, close - 4);
        if (code.empty() || code.size() > 8 ||
            code.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            return std::nullopt;
        }
        type = static_cast<std::uint32_t>(std::stoul(code, nullptr, 16));
        colon = close + 1;
    } else {
        return std::nullopt;
    }
    auto bytes = hexBytes(std::string_view(text).substr(colon + 1));
    if (!bytes) {
        return std::nullopt;
    }
    // Version 5 keeps text types in UTF-16LE; the store keeps them in the ANSI code page.
    const bool textType =
        type == regtype::Sz || type == regtype::ExpandSz || type == regtype::MultiSz;
    if (unicode && textType) {
        if (bytes->size() % 2 != 0) {
            return std::nullopt;
        }
        const auto* raw = reinterpret_cast<const std::uint8_t*>(bytes->data());
        bytes = toWindows1252(fromUtf16Le(std::span<const std::uint8_t>(raw, bytes->size())));
    }
    return Value{"", type, *bytes};
}

} // namespace

std::int32_t exportKeys(RegistryFunctions& registry, const KeyPath& key, std::string* file) {
    *file = std::string(kVersion4) + "\r\n\r\n";
    return walkKeys(registry, key, [file](const KeyPath& each, const KeyContent& content) {
        *file += "[" + toWindows1252(each.fullName()) + "]\r\n";
        for (const Value& value : content.values) {
            *file += valueLine(value) + "\r\n";
        }
        *file += "\r\n";
    });
}

ImportPlan parseRegFile(std::string_view bytes) {
    ImportPlan plan;
    const auto fail = [&plan](int line, const std::string& what) {
        plan.steps.clear();
        plan.error = "Zeile " + std::to_string(line) + ": " + what;
        return plan;
    };
    const auto lines = logicalLines(decode(bytes));
    std::size_t first = 0;
    while (first < lines.size() && lines[first].second.empty()) {
        ++first;
    }
    if (first == lines.size() ||
        (lines[first].second != kVersion4 && lines[first].second != kVersion5)) {
        plan.error = "Die Datei ist keine Registrierungsdatei.";
        return plan;
    }
    const bool unicode = lines[first].second == kVersion5;
    std::optional<KeyPath> key;
    for (std::size_t i = first + 1; i < lines.size(); ++i) {
        const auto& [number, line] = lines[i];
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3) {
                return fail(number, "Der Schlüsselname ist unvollständig.");
            }
            if (line[1] == '-') {
                return fail(number, "Das Löschen von Schlüsseln wird nicht unterstützt.");
            }
            key = parseKeyPath(std::string_view(line).substr(1, line.size() - 2));
            if (!key) {
                return fail(number, "Unbekannter Stammschlüssel.");
            }
            if (const std::string fault = keyFault(*key); !fault.empty()) {
                return fail(number, fault);
            }
            plan.steps.push_back({*key, std::nullopt, false, number});
            continue;
        }
        if (!key) {
            return fail(number, "Ein Wert steht vor dem ersten Schlüssel.");
        }
        std::size_t pos = 1;
        std::optional<std::string> name;
        if (line.front() == '@') {
            name = "";
        } else {
            pos = 0;
            name = unquote(line, &pos);
        }
        if (!name || pos >= line.size() || line[pos] != '=') {
            return fail(number, "Ungültiger Wertname.");
        }
        if (toWindows1252(*name).size() > kMaxValueNameLength) {
            return fail(number, "Der Wertname ist länger als " +
                                    std::to_string(kMaxValueNameLength) + " Zeichen.");
        }
        const std::string_view data = std::string_view(line).substr(pos + 1);
        if (data == "-") {
            plan.steps.push_back({*key, Value{toWindows1252(*name), 0, {}}, true, number});
            continue;
        }
        auto value = parseData(data, unicode);
        if (!value) {
            return fail(number, "Ungültige Daten.");
        }
        value->name = toWindows1252(*name);
        plan.steps.push_back({*key, std::move(value), false, number});
    }
    return plan;
}

} // namespace ostrevan::regtool
