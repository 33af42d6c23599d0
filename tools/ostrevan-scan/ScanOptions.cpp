#include "tools/ostrevan-scan/ScanOptions.h"

#include <cstddef>

namespace ostrevan {
namespace {

class Parser final {
public:
    explicit Parser(const std::vector<std::string>& arguments) : m_arguments(arguments) {}

    ParsedCommandLine run() {
        parse();
        return std::move(m_result);
    }

private:
    const std::vector<std::string>& m_arguments;
    std::size_t m_next = 0;
    ParsedCommandLine m_result;
    std::vector<std::string> m_paths;

    bool fail(std::string message) {
        m_result.kind = ParsedCommandLine::Kind::UsageError;
        m_result.error = std::move(message);
        return false;
    }

    // The value of an option: inline after '=' or the option letter, else the next argument.
    bool value(const std::string& option, std::optional<std::string> inlineValue,
               std::string& out) {
        if (inlineValue) {
            out = std::move(*inlineValue);
            return true;
        }
        if (m_next >= m_arguments.size()) {
            return fail("Option " + option + " braucht einen Wert");
        }
        out = m_arguments[m_next++];
        return true;
    }

    bool format(const std::string& name) {
        if (name == "report") {
            m_result.options.format = OutputFormat::Report;
        } else if (name == "csv") {
            m_result.options.format = OutputFormat::Csv;
        } else if (name == "json") {
            m_result.options.format = OutputFormat::Json;
        } else {
            return fail("unbekanntes Format \"" + name + "\" (report, csv oder json)");
        }
        return true;
    }

    bool outputFile(const std::string& option, std::optional<std::string> inlineValue) {
        std::string file;
        if (!value(option, std::move(inlineValue), file)) {
            return false;
        }
        if (file.empty()) {
            return fail("Option " + option + " braucht einen Dateinamen");
        }
        m_result.options.outputFile = file;
        return true;
    }

    bool longOption(const std::string& argument) {
        const auto equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        std::optional<std::string> inlineValue;
        if (equals != std::string::npos) {
            inlineValue = argument.substr(equals + 1);
        }
        const bool takesValue = name == "--format" || name == "--output";
        if (inlineValue && !takesValue) {
            return fail("Option " + name + " nimmt keinen Wert");
        }
        if (name == "--help") {
            m_result.kind = ParsedCommandLine::Kind::Help;
        } else if (name == "--recursive") {
            m_result.options.recursive = true;
        } else if (name == "--all") {
            m_result.options.all = true;
        } else if (name == "--missing") {
            m_result.options.missingOnly = true;
        } else if (name == "--quiet") {
            m_result.options.quiet = true;
        } else if (name == "--format") {
            std::string formatName;
            return value(name, std::move(inlineValue), formatName) && format(formatName);
        } else if (name == "--output") {
            return outputFile(name, std::move(inlineValue));
        } else {
            return fail("unbekannte Option " + name);
        }
        return true;
    }

    bool shortOptions(const std::string& argument) {
        for (std::size_t i = 1; i < argument.size(); ++i) {
            const char letter = argument[i];
            if (letter == 'r') {
                m_result.options.recursive = true;
            } else if (letter == 'q') {
                m_result.options.quiet = true;
            } else if (letter == 'h') {
                m_result.kind = ParsedCommandLine::Kind::Help;
            } else if (letter == 'o') {
                std::optional<std::string> rest;
                if (i + 1 < argument.size()) {
                    rest = argument.substr(i + 1);
                }
                return outputFile("-o", std::move(rest));
            } else {
                return fail(std::string("unbekannte Option -") + letter);
            }
        }
        return true;
    }

    bool parse() {
        bool optionsEnded = false;
        while (m_next < m_arguments.size()) {
            const std::string& argument = m_arguments[m_next++];
            if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
                m_paths.push_back(argument);
            } else if (argument == "--") {
                optionsEnded = true;
            } else if (argument.starts_with("--") ? !longOption(argument)
                                                  : !shortOptions(argument)) {
                return false;
            }
        }
        if (m_result.kind == ParsedCommandLine::Kind::Help) {
            return true;
        }
        if (m_paths.size() != 1) {
            return fail(m_paths.empty() ? "kein PFAD angegeben" : "mehr als ein PFAD angegeben");
        }
        if (m_paths.front().empty()) {
            return fail("PFAD ist leer");
        }
        m_result.options.path = m_paths.front();
        m_result.kind = ParsedCommandLine::Kind::Scan;
        return true;
    }
};

} // namespace

ParsedCommandLine parseScanCommandLine(const std::vector<std::string>& arguments) {
    return Parser(arguments).run();
}

} // namespace ostrevan
