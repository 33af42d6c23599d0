#include "tools/ostrevan-links/LinksCommand.h"

#include "platform/Error.h"
#include "platform/ole/LinkResolution.h"
#include "tools/common/JsonText.h"
#include "tools/ostrevan-links/HelpText.h"

#include <cstdio>
#include <optional>
#include <ostream>

namespace ostrevan {
namespace {

struct DocumentResult {
    std::string document;
    std::optional<Error> error;
    std::vector<ResolvedLink> links;
};

// A storage name as text for a terminal: its control characters (a family of assemblies
// keeps its master in "Master\x01") as \xNN.
std::string visibleStorage(const std::string& storage) {
    std::string out;
    for (const char c : storage) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

void writeJson(const std::vector<DocumentResult>& results, std::ostream& out) {
    out << "[";
    for (std::size_t d = 0; d < results.size(); ++d) {
        const DocumentResult& result = results[d];
        out << (d == 0 ? "\n" : ",\n") << "  {\n    \"document\": " << jsonString(result.document)
            << ",\n    \"error\": ";
        if (result.error) {
            out << "{\"number\": " << result.error->number()
                << ", \"description\": " << jsonString(result.error->description()) << "}";
        } else {
            out << "null";
        }
        out << ",\n    \"links\": [";
        for (std::size_t l = 0; l < result.links.size(); ++l) {
            const ResolvedLink& link = result.links[l];
            out << (l == 0 ? "\n" : ",\n") << "      {\"full_name\": " << jsonString(link.fullName)
                << ", \"resolved_by\": " << jsonString(std::string(resolvedByName(link.resolvedBy)))
                << ", \"saved_absolute\": " << jsonString(savedAbsolute(link))
                << ", \"saved_relative\": "
                << (link.stored.relative ? jsonString(*savedRelative(link)) : "null")
                << ", \"storage\": " << jsonString(link.stored.storage) << "}";
        }
        out << (result.links.empty() ? "]" : "\n    ]") << "\n  }";
    }
    out << (results.empty() ? "]\n" : "\n]\n");
}

void writeText(const DocumentResult& result, std::ostream& out) {
    if (result.error) {
        return;
    }
    out << result.document << ": " << result.links.size()
        << (result.links.size() == 1 ? " link\n" : " links\n");
    for (const ResolvedLink& link : result.links) {
        out << "  " << visibleStorage(link.stored.storage) << ": " << link.fullName << " ("
            << resolvedByName(link.resolvedBy) << ")\n"
            << "    saved absolute: " << savedAbsolute(link) << "\n"
            << "    saved relative: " << savedRelative(link).value_or("(none)") << "\n";
    }
}

DocumentResult read(const std::string& document, const LinkManagement& rules,
                    FolderListings& folders, std::ostream& err) {
    DocumentResult result{document, std::nullopt, {}};
    try {
        const DocumentLinkResolver resolver(document, rules, folders);
        LinkObjects objects = resolver.readLinkObjects();
        for (LinkObject& link : objects.links) {
            result.links.push_back(resolver.resolve(std::move(link)));
        }
        for (const std::string& storage : objects.skipped) {
            err << "ostrevan-links: " << document << ": " << visibleStorage(storage)
                << ": link object skipped (damaged, or nested too deep to read)\n";
        }
    } catch (...) {
        result.error = caughtError();
        err << "ostrevan-links: " << document << ": " << result.error->description() << " ("
            << result.error->number() << ")\n";
    }
    return result;
}

} // namespace

int runLinksCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                    const std::string& configFolder) {
    bool json = false;
    bool optionsEnded = false;
    std::vector<std::string> documents;
    for (const std::string& argument : arguments) {
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            documents.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--json") {
            json = true;
        } else if (argument == "--help" || argument == "-h") {
            out << kHelpText;
            return 0;
        } else {
            err << "ostrevan-links: unbekannte Option " << argument << "\n" << kHelpText;
            return 2;
        }
    }
    if (documents.empty()) {
        err << "ostrevan-links: keine DATEI angegeben\n" << kHelpText;
        return 2;
    }
    const LinkManagement rules = loadLinkManagement(configFolder, [&err](const std::string& line) {
        err << "ostrevan-links: " << line << "\n";
    });
    std::vector<DocumentResult> results;
    FolderListings folders;
    bool allRead = true;
    for (const std::string& document : documents) {
        results.push_back(read(document, rules, folders, err));
        allRead = allRead && !results.back().error;
        if (!json) {
            writeText(results.back(), out);
        }
    }
    if (json) {
        writeJson(results, out);
    }
    return allRead ? 0 : 1;
}

} // namespace ostrevan
