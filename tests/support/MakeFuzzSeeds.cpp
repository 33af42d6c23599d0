// make-fuzz-seeds FOLDER: writes the seeds shaped like real Solid Edge documents into
// FOLDER/compound_document and FOLDER/ole_stream, and one shaped like the documents of the
// folder-scan benchmark into FOLDER/compound_file (fuzz/corpus holds what it wrote).

#include "tests/support/CompoundFixture.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

using namespace ostrevan::fixture;

const FixtureLink kPart{"C:\\Program Files\\Solid Edge ST7\\Training\\Kurbelwelle.par",
                        "..\\..\\..\\..\\Program Files\\Solid Edge ST7\\Training\\Kurbelwelle.par",
                        "C:\\PROGRA~1\\SOLIDE~1\\Training\\KURBEL~1.PAR"};
const FixtureLink kBeside{"\\\\dicer\\b\\Dan\\SolidEdge\\Halter rechts.par",
                          "..\\\\Halter rechts.par", "\\\\dicer\\b\\Dan\\SOLIDE~1\\HALTER~1.PAR"};
const FixtureLink kSheetMetal{"D:\\3DModels\\Blech\\Winkel.psm", "..\\Winkel.psm"};
const FixtureLink kAssembly{"\\\\hsv013st5i\\DavWWWRoot\\wip\\Baugruppe.asm",
                            "\\\\hsv013st5i\\DavWWWRoot\\wip\\Baugruppe.asm"};

Bytes sitesList(std::initializer_list<std::uint8_t> sites) {
    Bytes list = {'O', 'L', 'E', 'M', static_cast<std::uint8_t>(sites.size()), 0, 0, 0};
    for (const std::uint8_t site : sites) {
        list.insert(list.end(), {site, 0, 0, 0});
    }
    return list;
}

void save(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make-fuzz-seeds FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const auto documents = folder / "compound_document";
    const auto streams = folder / "ole_stream";
    std::filesystem::create_directories(documents);
    std::filesystem::create_directories(streams);
    std::filesystem::create_directories(folder / "compound_file");

    // The directory, the mini FAT and the mini stream in pages of their own after the data, so
    // that the page input reads neighbouring pages along.
    writeCompoundDocument((folder / "compound_file" / "scan-layout").string(),
                          {kPart, kBeside, kSheetMetal, kAssembly}, 12 * 1024);

    CompoundDocument assembly;
    assembly.addSolidEdgeLink("JSite38", kPart)
        .addSolidEdgeLink("JSite54", kBeside)
        .addSolidEdgeLink("JSite94", kSheetMetal)
        .addStream("JSitesList", sitesList({38, 54, 94}))
        .addStream("JReverseLinks/JReverseSiteInfo317/JReverseSite317", Bytes(64, 3));
    save(documents / "solidedge-assembly", assembly.bytes());

    CompoundDocument family;
    for (const std::string_view name : {"Master\x01", "FamilyMember1", "FamilyMember2"}) {
        const std::string storage(name);
        family.addSolidEdgeLink(storage + "/JSite38", kPart)
            .addSolidEdgeLink(storage + "/JSite54", kBeside)
            .addStream(storage + "/JSitesList", sitesList({38, 54}));
    }
    save(documents / "solidedge-family", family.bytes());

    CompoundDocument draft;
    draft.addSolidEdgeLink("JSite553", kAssembly)
        .addStream("JSite539/JProperties",
                   {'O', 'L', 'E', 'S', 0, 0, 3, 0, 3, 0, '5', 0, '3', 0, '9', 0})
        .addStream("JSite540/JImageData", Bytes(200, 0x89))
        .addLink("JSite7402", {"D:\\3DModels\\Bilder\\Foto.jpg", "..\\Foto.jpg"});
    save(documents / "solidedge-draft", draft.bytes());

    const auto siteStream = [](const FixtureLink& link, std::uint16_t cAnti,
                               const std::string& rest) {
        return solidEdgeLinkStream(fileMoniker(link.absolutePath, 0, true, link.absoluteAnsiPath),
                                   rest.empty() ? Bytes() : fileMoniker(rest, cAnti, false));
    };
    save(streams / "solidedge-8.3-and-steps",
         siteStream(kPart, 4, "Program Files\\Solid Edge ST7\\Training\\Kurbelwelle.par"));
    save(streams / "solidedge-backslash-after-steps",
         siteStream(kBeside, 1, "\\Halter rechts.par"));
    save(streams / "solidedge-no-relative", siteStream(kSheetMetal, 0, ""));
    save(streams / "solidedge-unc-without-steps",
         solidEdgeLinkStream(fileMoniker(kAssembly.absolutePath),
                             fileMoniker(kAssembly.absolutePath)));
    return 0;
}
