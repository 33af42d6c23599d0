#include "platform/posix/RegistrySeed.h"

#include "platform/RegistryFunctions.h"

#include <array>
#include <string_view>

namespace ostrevan {
namespace {

struct DocumentType {
    std::string_view extension;
    std::string_view className;
    std::string_view description;
    std::string_view contentType; // empty where none fits
    std::string_view iconName;
};

constexpr std::array<DocumentType, 6> kDocumentTypes{{
    {"par", "SolidEdge.PartDocument", "Solid Edge Part Document", "application/x-solidedge-part",
     "part"},
    {"psm", "SolidEdge.SheetMetalDocument", "Solid Edge Sheet Metal Document",
     "application/x-solidedge-sheetmetal", "sheetmetal"},
    {"asm", "SolidEdge.AssemblyDocument", "Solid Edge Assembly Document",
     "application/x-solidedge-assembly", "assembly"},
    {"dft", "SolidEdge.DraftDocument", "Solid Edge Draft Document", "application/x-solidedge-draft",
     "draft"},
    {"pwd", "SolidEdge.WeldmentDocument", "Solid Edge Weldment Document",
     "application/x-solidedge-weldment", "weldment"},
    {"cfg", "SolidEdge.AssemblyConfiguration", "Solid Edge Assembly Configuration", "",
     "configuration"},
}};

constexpr std::string_view kIconFolder = OSTREVAN_ICON_FOLDER;

std::string text(std::string_view value) {
    return std::string(value) + '\0';
}

} // namespace

std::vector<SeedValue> solidEdgeFileTypes() {
    std::vector<SeedValue> seed;
    for (const DocumentType& type : kDocumentTypes) {
        const std::string extensionKey = "." + std::string(type.extension);
        const std::string classKey(type.className);
        seed.push_back({extensionKey, "", regtype::Sz, text(type.className)});
        if (!type.contentType.empty()) {
            seed.push_back({extensionKey, "Content Type", regtype::Sz, text(type.contentType)});
        }
        seed.push_back({classKey, "", regtype::Sz, text(type.description)});
        seed.push_back({classKey + "\\DefaultIcon", "", regtype::Sz,
                        text(std::string(kIconFolder) + "application-x-solidedge-" +
                             std::string(type.iconName) + ".svg,0")});
    }
    return seed;
}

} // namespace ostrevan
