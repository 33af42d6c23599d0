#include "tools/ostrevan-reg/RegCommand.h"

#include "platform/Error.h"
#include "platform/ReplacementFile.h"
#include "platform/Text.h"
#include "platform/posix/RegistryStore.h"
#include "tools/ostrevan-reg/HelpText.h"
#include "tools/ostrevan-reg/RegFile.h"
#include "tools/ostrevan-reg/RegKeys.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

namespace ostrevan::regtool {
namespace {

constexpr std::string_view kIndent = "    ";
constexpr std::string_view kDoneText = "Der Vorgang wurde erfolgreich beendet.";
constexpr std::string_view kCancelled = "Der Vorgang wurde abgebrochen.";
constexpr std::string_view kNotFound =
    "FEHLER: Der angegebene Registrierungsschlüssel bzw. Wert wurde nicht gefunden.";

struct Options {
    std::vector<std::string> operands;
    std::optional<std::string> valueName; // /v NAME, or "" for /ve
    std::optional<std::string> type;
    std::optional<std::string> data;
    bool force = false;
    bool recursive = false;
    bool overwriteFile = false;
};

bool isSwitch(const std::string& arg, std::string_view name) {
    return (arg.starts_with('/') || arg.starts_with('-')) && upperCase(arg.substr(1)) == name;
}

// Fills options from args[1...].
void parseOptions(const std::vector<std::string>& args, Options* options) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasNext = i + 1 < args.size();
        if (isSwitch(arg, "V") && hasNext && !options->valueName) {
            options->valueName = toWindows1252(args[++i]);
        } else if (isSwitch(arg, "VE") && !options->valueName) {
            options->valueName = "";
        } else if (isSwitch(arg, "T") && hasNext) {
            options->type = args[++i];
        } else if (isSwitch(arg, "D") && hasNext) {
            options->data = args[++i];
        } else if (isSwitch(arg, "F")) {
            options->force = true;
        } else if (isSwitch(arg, "S")) {
            options->recursive = true;
        } else if (isSwitch(arg, "Y")) {
            options->overwriteFile = true;
        } else {
            // Paths begin with '/' too: whatever is no switch is an operand.
            options->operands.push_back(arg);
        }
    }
}

std::string hexText(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        std::array<char, 4> pair{};
        std::snprintf(pair.data(), pair.size(), "%02X", static_cast<unsigned char>(c));
        out += pair.data();
    }
    return out;
}

std::string dataText(const Value& value) {
    switch (value.type) {
    case regtype::Sz:
    case regtype::ExpandSz:
        return fromWindows1252(value.data.substr(0, value.data.find('\0')));
    case regtype::MultiSz: {
        std::string items = value.data;
        while (!items.empty() && items.back() == '\0') {
            items.pop_back();
        }
        std::string out;
        for (const char c : items) {
            out += c == '\0' ? std::string("\\0") : std::string(1, c);
        }
        return fromWindows1252(out);
    }
    case regtype::Dword:
        if (value.data.size() == 4) {
            const std::uint32_t number = dwordOf(value.data);
            std::array<char, 16> digits{};
            std::snprintf(digits.data(), digits.size(), "0x%x", number);
            return digits.data();
        }
        return hexText(value.data);
    default:
        return hexText(value.data);
    }
}

std::string valueLine(const Value& value) {
    const std::string name = value.name.empty() ? "(Standard)" : fromWindows1252(value.name);
    return std::string(kIndent) + name + std::string(kIndent) + typeName(value.type) +
           std::string(kIndent) + dataText(value);
}

// The data of add /d for a type, as stored; nothing when it does not fit the type.
std::optional<std::string> storedData(std::uint32_t type, const std::string& text) {
    switch (type) {
    case regtype::Dword: {
        const bool hex = text.starts_with("0x") || text.starts_with("0X");
        const std::string digits = hex ? text.substr(2) : text;
        if (digits.empty() || digits.size() > (hex ? 8U : 10U) ||
            digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") !=
                std::string::npos) {
            return std::nullopt;
        }
        const unsigned long long number = std::stoull(digits, nullptr, hex ? 16 : 10);
        if (number > 0xFFFFFFFFULL) {
            return std::nullopt;
        }
        return dwordData(static_cast<std::uint32_t>(number));
    }
    case regtype::Binary: {
        if (text.size() % 2 != 0 ||
            text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            return std::nullopt;
        }
        std::string bytes;
        for (std::size_t i = 0; i < text.size(); i += 2) {
            bytes += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
        }
        return bytes;
    }
    case regtype::MultiSz: {
        std::string joined;
        for (std::size_t start = 0; start <= text.size();) {
            auto end = text.find("\\0", start);
            end = end == std::string::npos ? text.size() : end;
            joined += toWindows1252(text.substr(start, end - start)) + '\0';
            start = end + 2;
        }
        return joined + '\0';
    }
    default:
        return toWindows1252(text) + '\0';
    }
}

class Command final {
public:
    Command(RegistryStore& registry, Console& console, const Options& options)
        : m_registry(registry), m_console(console), m_options(options) {}

    int query(const KeyPath& key) {
        KeyContent content;
        if (const std::int32_t rc = readKey(m_registry, key, &content); rc != 0) {
            return failure(rc);
        }
        if (m_options.valueName) {
            const Value* value = find(content, *m_options.valueName);
            if (value == nullptr) {
                return failure(winerror::FileNotFound);
            }
            m_console.out << "\n" << key.fullName() << "\n" << valueLine(*value) << "\n\n";
            return kDone;
        }
        return m_options.recursive ? listTree(key) : listKey(key, content);
    }

    int add(const KeyPath& key) {
        const bool setsValue = m_options.valueName || m_options.type || m_options.data;
        if (!setsValue) {
            const std::int32_t rc = createKey(m_registry, key);
            return rc == 0 ? done() : failure(rc);
        }
        const auto type = typeCode(m_options.type.value_or("REG_SZ"));
        if (!type || *type == regtype::Link || *type == regtype::DwordBigEndian) {
            m_console.err << "FEHLER: Ungültiger Typ " << m_options.type.value_or("") << ".\n";
            return kUsage;
        }
        const auto data =
            storedData(*type, m_options.data.value_or(*type == regtype::Dword ? "0" : ""));
        if (!data) {
            m_console.err << "FEHLER: Die Daten passen nicht zum Typ " << typeName(*type) << ".\n";
            return kUsage;
        }
        const Value value{m_options.valueName.value_or(""), *type, *data};
        KeyContent content;
        if (readKey(m_registry, key, &content) == 0 && find(content, value.name) != nullptr &&
            !m_options.force &&
            !ask("Der Wert " + shownName(value.name) +
                 " ist bereits vorhanden. "
                 "Überschreiben (Ja/Nein)?")) {
            return cancelled();
        }
        const std::int32_t rc = writeValue(m_registry, key, value);
        return rc == 0 ? done() : failure(rc);
    }

    int remove(const KeyPath& key) {
        if (!m_options.valueName) {
            m_console.err << "FEHLER: Das Löschen von Schlüsseln wird nicht unterstützt; "
                             "geben Sie /v WERT oder /ve an.\n";
            return kUsage;
        }
        KeyContent content;
        if (const std::int32_t rc = readKey(m_registry, key, &content); rc != 0) {
            return failure(rc);
        }
        if (find(content, *m_options.valueName) == nullptr) {
            return failure(winerror::FileNotFound);
        }
        if (!m_options.force &&
            !ask("Registrierungswert " + shownName(*m_options.valueName) + " löschen (Ja/Nein)?")) {
            return cancelled();
        }
        const std::int32_t rc = deleteValue(m_registry, key, *m_options.valueName);
        return rc == 0 ? done() : failure(rc);
    }

    int exportTo(const KeyPath& key, const std::string& path) {
        std::string file;
        if (const std::int32_t rc =
                m_registry.oneView([&] { return exportKeys(m_registry, key, &file); });
            rc != 0) {
            return failure(rc);
        }
        std::error_code ignored;
        if (std::filesystem::exists(path, ignored) && !m_options.overwriteFile &&
            !ask("Die Datei " + path + " ist bereits vorhanden. Überschreiben (Ja/Nein)?")) {
            return cancelled();
        }
        // Written beside the target and put in its place only when complete, so that a failed
        // export leaves the old file as it was; a link or device at the name is not written.
        if (const auto error = trapError([&] {
                const auto replacement = openReplacementFile(path);
                replacement->write(file);
                replacement->commit();
            })) {
            m_console.err << "FEHLER: Die Datei " << path
                          << " konnte nicht geschrieben werden: " << error->description() << " ("
                          << error->number() << ").\n";
            return kFailed;
        }
        return done();
    }

    int importFrom(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        if (!in) {
            m_console.err << "FEHLER: Die Datei " << path << " konnte nicht gelesen werden.\n";
            return kFailed;
        }
        const ImportPlan plan = parseRegFile(bytes.str());
        if (!plan.error.empty()) {
            m_console.err << "FEHLER: " << path << ": " << plan.error << "\n";
            return kFailed;
        }
        // The whole file or nothing of it.
        int failedLine = 0;
        const std::int32_t rc = m_registry.allOrNothing([&] {
            for (const ImportStep& step : plan.steps) {
                if (const std::int32_t stepRc = apply(step); stepRc != winerror::Success) {
                    failedLine = step.line;
                    return stepRc;
                }
            }
            return winerror::Success;
        });
        if (rc != winerror::Success && failedLine > 0) {
            m_console.err << "FEHLER: " << path << ": Zeile " << failedLine << ": "
                          << messageText(m_registry, rc) << "\n";
            return kFailed;
        }
        return rc == winerror::Success ? done() : failure(rc);
    }

private:
    std::int32_t apply(const ImportStep& step) {
        if (!step.value) {
            return createKey(m_registry, step.key);
        }
        if (step.deletesValue) {
            const std::int32_t rc = deleteValue(m_registry, step.key, step.value->name);
            return rc == winerror::FileNotFound ? winerror::Success : rc;
        }
        return writeValue(m_registry, step.key, *step.value);
    }

    static const Value* find(const KeyContent& content, const std::string& name) {
        const std::string wanted = upperCase(fromWindows1252(name));
        for (const Value& value : content.values) {
            if (upperCase(fromWindows1252(value.name)) == wanted) {
                return &value;
            }
        }
        return nullptr;
    }

    static std::string shownName(const std::string& name) {
        return name.empty() ? "(Standard)" : fromWindows1252(name);
    }

    int listKey(const KeyPath& key, const KeyContent& content) {
        m_console.out << "\n" << key.fullName() << "\n";
        for (const Value& value : content.values) {
            m_console.out << valueLine(value) << "\n";
        }
        if (!content.subKeys.empty()) {
            m_console.out << "\n";
        }
        for (const std::string& name : content.subKeys) {
            m_console.out << key.fullName() << "\\" << name << "\n";
        }
        return kDone;
    }

    // Every key below too, read on one snapshot.
    int listTree(const KeyPath& key) {
        const std::int32_t rc = m_registry.oneView([&] {
            return walkKeys(m_registry, key,
                            [this](const KeyPath& each, const KeyContent& content) {
                                m_console.out << "\n" << each.fullName() << "\n";
                                for (const Value& value : content.values) {
                                    m_console.out << valueLine(value) << "\n";
                                }
                            });
        });
        return rc == winerror::Success ? kDone : failure(rc);
    }

    bool ask(const std::string& question) {
        return m_console.confirm && m_console.confirm(question);
    }

    int done() {
        m_console.out << kDoneText << "\n";
        return kDone;
    }

    int cancelled() {
        m_console.out << kCancelled << "\n";
        return kFailed;
    }

    int failure(std::int32_t code) {
        if (code == winerror::FileNotFound) {
            m_console.err << kNotFound << "\n";
        } else {
            m_console.err << "FEHLER: " << messageText(m_registry, code) << "\n";
        }
        return kFailed;
    }

    RegistryStore& m_registry;
    Console& m_console;
    const Options& m_options;
};

int usage(Console& console) {
    console.err << "FEHLER: Ungültige Syntax.\nGeben Sie \"ostrevan-reg /?\" ein, um die Syntax "
                   "anzuzeigen.\n";
    return kUsage;
}

} // namespace

int runReg(const std::vector<std::string>& args, Console& console) {
    std::vector<std::string> rest;
    std::optional<std::string> storePath;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--store" && i + 1 < args.size()) {
            storePath = args[++i];
        } else if (args[i] == "--store") {
            return usage(console);
        } else {
            rest.push_back(args[i]);
        }
    }
    if (rest.size() == 1 && (rest[0] == "/?" || rest[0] == "-?" || rest[0] == "--help")) {
        console.out << kHelpText;
        return kDone;
    }
    if (rest.empty()) {
        return usage(console);
    }
    Options options;
    parseOptions(rest, &options);
    const std::string verb = upperCase(rest[0]);
    const std::size_t operands = verb == "EXPORT" ? 2 : 1;
    if (options.operands.size() != operands) {
        return usage(console);
    }
    const auto key =
        verb == "IMPORT" ? std::optional<KeyPath>(KeyPath{}) : parseKeyPath(options.operands[0]);
    if (!key) {
        console.err << "FEHLER: Ungültiger Schlüsselname.\n";
        return kUsage;
    }
    RegistryStore store(storePath.value_or(RegistryStore::defaultPath()));
    Command command(store, console, options);
    if (verb == "QUERY") {
        return command.query(*key);
    }
    if (verb == "ADD") {
        return command.add(*key);
    }
    if (verb == "DELETE") {
        return command.remove(*key);
    }
    if (verb == "EXPORT") {
        return command.exportTo(*key, options.operands[1]);
    }
    if (verb == "IMPORT") {
        return command.importFrom(options.operands[0]);
    }
    return usage(console);
}

} // namespace ostrevan::regtool
