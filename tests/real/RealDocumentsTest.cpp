// The documents in ../shared/real, written by Solid Edge and Office, read in place. The
// expectations below were decoded from the documents' bytes, not taken from the reader.

#include "platform/RevisionManager.h"
#include "platform/ole/LinkReaderServers.h"
#include "tests/support/Json.h"
#include "tests/support/TempFolder.h"
#include "tools/ostrevan-links/LinksCommand.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>

namespace ostrevan {
namespace {

using test::Json;

const std::string kReal =
    test::textOf(std::filesystem::path(OSTREVAN_REAL_DOCUMENTS).lexically_normal());

// A path written with '/' in this system's separators, as the program shows it.
std::string nativePath(const std::string& path) {
    return test::textOf(test::pathOf(path).make_preferred());
}

struct ExpectedLink {
    std::string storage;
    std::string savedAbsolute;
    std::optional<std::string> savedRelative;
    // The file beside the document that the link names; empty when the target is not
    // there, and the link shows its stored path as "missing".
    std::string besideDocument;
    // The file part of savedAbsolute; differs only for a file + item moniker.
    std::string storedFile = savedAbsolute;
};

struct ExpectedDocument {
    std::string file; // below kReal
    std::vector<ExpectedLink> links;
};

const std::string kLego = "C:\\Users\\Andres\\Documents\\Escritorio de Inicio\\MaterialesUni\\1 "
                          "Curso\\2Cuatrimestre\\GraphicDesing\\proyectoSolidEdge\\Piezas-"
                          "20240413T172718Z-001\\Piezas\\";
const std::string kTraining = "C:\\Workdir\\perforce\\jccrumbl_PL2USHSV0061NB\\XPS\\products\\"
                              "solidedge\\se2023\\english\\training\\";
const std::string kTrainingUp5 = "..\\..\\..\\..\\..\\Workdir\\perforce\\jccrumbl_PL2USHSV0061NB\\"
                                 "XPS\\products\\solidedge\\se2023\\english\\training\\";
const std::string kTrainingUp8 = "..\\..\\..\\" + kTrainingUp5;
const std::string kOpenMcdf =
    "C:\\Users\\stazione41\\Documents\\openmcdf\\sources\\Test\\TestFiles\\";
const std::string kDicer = "\\\\dicer\\b\\Dan\\SolidEdge\\Sonex Stuff\\Aveo PowerBurst NG Daylight "
                           "Mount\\Aveo PowerBurst NG Daylite ";
const std::string kMolds =
    "D:\\3DModels\\Sonex\\Aveo PowerBurst NG Daylight Mount\\Composite Molds\\";

// A link to name in the same folder, stored with cAnti 1.
ExpectedLink beside(const std::string& storage, const std::string& folder,
                    const std::string& name) {
    return {storage, folder + name, "..\\" + name, name};
}

std::vector<ExpectedLink> trainingLinks(const std::string& storage, const std::string& up) {
    std::vector<ExpectedLink> links;
    for (const auto& [site, name] : std::vector<std::pair<std::string, std::string>>{
             {"JSite38", "chead.par"}, {"JSite54", "Splate.par"}, {"JSite94", "mtgpin.par"}}) {
        links.push_back({storage + site, kTraining + name, up + name, ""});
    }
    return links;
}

std::vector<ExpectedLink> concat(std::initializer_list<std::vector<ExpectedLink>> parts) {
    std::vector<ExpectedLink> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

std::vector<ExpectedDocument> expectedDocuments() {
    const std::string removed = "se-openmcdf/removedrefs-324fd80/";
    const std::string upload = "se-openmcdf/upload-0c8fc18/";
    const std::vector<ExpectedLink> simpleParts = {beside("JSite361", kOpenMcdf, "SimplePart.par"),
                                                   beside("JSite374", kOpenMcdf, "SimplePsm.psm")};
    const auto under = [](const std::string& storage, std::vector<ExpectedLink> links) {
        for (ExpectedLink& link : links) {
            link.storage = storage + link.storage;
        }
        return links;
    };
    return {
        {"se-lego/ClGray_4525904_AVV/ClGray_4525904_AVV.asm",
         {beside("JSite364", kLego, "ClGray_4525904_a)_AVV.par"),
          beside("JSite371", kLego, "ClGray_4525904_b)_AVV.par")}},
        {"se-lego/Mtp_4612100_AVV/Mtp_4612100_AVV.asm",
         {beside("JSite365", kLego + "Mtp_4612100_AVV\\", "ClGray_4612100_b)_AVV.par"),
          beside("JSite372", kLego + "Mtp_4612100_AVV\\", "Gray_4612100_a)_AVV.par"),
          beside("JSite374", kLego + "Mtp_4612100_AVV\\", "Or_4612100_c)_AVV.par")}},
        {"se-lego/Mtp_4624645_JCA/4624645_JCA.asm",
         {beside("JSite506", kLego + "Mtl_4624645_JCA\\", "ClGray_4624645_a)_JCA.par"),
          beside("JSite881", kLego + "Mtl_4624645_JCA\\", "Black_4624645_b)_JCA.par")}},
        {"se-lego/Mtp_4638507_AVV_andMore/4638507_AVV_andMore.asm",
         {beside("JSite364", kLego + "Mtp_4638507_AVV_andMore\\", "Gray_4638507_a)_AVV.par"),
          beside("JSite371", kLego + "Mtp_4638507_AVV_andMore\\", "ClGrey_4638507_b)_AVV.par"),
          beside("JSite605", kLego + "Mtp_4638507_AVV_andMore\\", "Or_4638507_c)_AVV.par"),
          beside("JSite623", kLego + "Mtp_4638507_AVV_andMore\\", "Gray_4638507_d)_AVV.par"),
          {"JSite1679", kLego + "Gray_4528038_AVV.par", "..\\..\\Gray_4528038_AVV.par", ""},
          {"JSite1878", kLego + "ClGray_4211815_JCA.par", "..\\..\\ClGray_4211815_JCA.par", ""},
          {"JSite2083", kLego + "Red_4142865_JCA.par", "..\\..\\Red_4142865_JCA.par", ""}}},
        {removed + "FamilyASM.asm",
         concat({trainingLinks("Master\x01/", kTrainingUp8), under("Master\x01/", simpleParts),
                 under("FamilyMember1/", simpleParts),
                 trainingLinks("FamilyMember2/", kTrainingUp8),
                 trainingLinks("FamilyMember3/", kTrainingUp8)})},
        {removed + "SimpleASM.asm",
         {beside("JSite354", kOpenMcdf, "SimplePart.par"),
          beside("JSite359", kOpenMcdf, "SimplePsm.psm")}},
        {removed + "SimpleDFT.dft", {beside("JSite2136", kOpenMcdf, "SimplePart.par")}},
        {upload + "FamilyASM.asm", concat({trainingLinks("Master\x01/", kTrainingUp5),
                                           trainingLinks("FamilyMember1/", kTrainingUp5),
                                           trainingLinks("FamilyMember2/", kTrainingUp5),
                                           trainingLinks("FamilyMember3/", kTrainingUp5)})},
        {upload + "SimpleASM.asm", trainingLinks("", kTrainingUp5)},
        // The relative moniker holds the absolute UNC path (cAnti 0): no relative path exists.
        {"se-seu14/003944_A.dft",
         {{"JSite543",
           "\\\\hsv013st5i\\DavWWWRoot\\wip\\Schmidt\\Cab\\Cab\\Components\\003944_A.par",
           "\\\\hsv013st5i\\DavWWWRoot\\wip\\Schmidt\\Cab\\Cab\\Components\\003944_A.par", ""}}},
        {"se-seu14/2p261887e.dft",
         {{"JSite355124", "C:\\LDM_WORK\\murakamikat\\K\\ctc\\ez9-280-ev-assy-04.asm",
           "..\\ez9-280-ev-assy-04.asm", ""}}},
        {"se-seu14/Engine1.dft",
         {{"JSite553", "C:\\Program Files\\Solid Edge ST7\\Training\\Engine1.asm",
           "..\\..\\..\\..\\..\\..\\..\\Program Files\\Solid Edge ST7\\Training\\Engine1.asm",
           ""}}},
        {"se-sonex/Aveo PowerBurst NG Daylight Mount/3D Printable/Aveo PowerBurst NG Daylite "
         "Mount Assembly.asm",
         {{"JSite402", kDicer + "Mount-Right.par", "..\\Aveo PowerBurst NG Daylite Mount-Right.par",
           "Aveo PowerBurst NG Daylite Mount-Right.par"},
          {"JSite409", kDicer + "Rear Stand-off.par",
           "..\\Aveo PowerBurst NG Daylite Rear Stand-off.par",
           "Aveo PowerBurst NG Daylite Rear Stand-off.par"}}},
        {"se-sonex/Aveo PowerBurst NG Daylight Mount/Composite Molds/Aveo PowerBurst NG Daylite "
         "Mold Assembly.asm",
         {beside("JSite477", kMolds, "Aveo PowerBurst NG Daylite Mount-Mold-Cavity.par"),
          beside("JSite480", kMolds, "Aveo PowerBurst NG Daylite Mount-Mold-Core.par")}},
        {"se-sonex/Aveo PowerBurst NG Daylight Mount/Composite Molds/Aveo PowerBurst NG Daylite "
         "Mount-Mold-Cavity.par",
         {beside("JSite2173", kMolds, "Aveo PowerBurst NG Daylite Mount-With-Draft.par")}},
        {"se-sonex/Aveo PowerBurst NG Daylight Mount/Composite Molds/Aveo PowerBurst NG Daylite "
         "Mount-Mold-Core.par",
         {beside("JSite3618", kMolds, "Aveo PowerBurst NG Daylite Mount-With-Draft.par")}},
        // A standard OLE link to a picture, inside a Solid Edge part.
        {"se-sonex/Former Clip Bending Template/Former Clip Bending Template.par",
         {{"JSite7402", "D:\\3DModels\\Sonex\\Former Clip Bending Template\\Edited_Photo.jpg",
           "..\\Edited_Photo.jpg", ""}}},
        // Word: a file + item moniker to slide 300 of a presentation.
        {"office-links/tika-testDocumentLink.doc",
         {{"ObjectPool/_1327495610",
           "C:\\Share\\Develop\\B5150_IBM_Cognos_BI_Query_Studio\\02-Intro_To_Query_Studio\\02-"
           "Intro_to_Query_Studio.ppt!300",
           "..\\02-Intro_to_Query_Studio.ppt!300", "",
           "C:\\Share\\Develop\\B5150_IBM_Cognos_BI_Query_Studio\\02-Intro_To_Query_Studio\\02-"
           "Intro_to_Query_Studio.ppt"}}},
    };
}

// Documents of robust/ whose header, allocation tables or directory are damaged: cut off,
// looping or impossible chains. In the Thumbs.db two directory entries name each other as
// their left sibling.
const std::vector<std::string> kDamaged = {
    "robust/openmcdf-_thumbs_bug_24.db",
    "robust/openmcdf-CyclicFAT.cfs",
    "robust/openmcdf-FatChainLoop_v3.cfs",
    "robust/openmcdf-corrupted-sector-chain-2.doc",
    "robust/openmcdf-corrupted-sector-chain.cfs",
    "robust/openmcdf-corrupted-sector-chain.doc",
    "robust/openmcdf-empty_directory_chain.doc",
    "robust/openmcdf-no_sectors.doc",
    "robust/poi-poifs-ReferencesInvalidSectors.mpp",
};

struct ToolAnswer {
    Json document;
    std::string err;
    // Processor time of the whole process (a large document is read on a thread of its own):
    // a busy machine stretches the wall-clock time, not this.
    double seconds;
};

class RealDocuments : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::is_regular_file(kReal + "/MANIFEST.md")) {
            GTEST_SKIP() << "no real documents at " << kReal
                         << ": the suite of real documents is skipped";
        }
    }

    ToolAnswer listLinks(const std::string& file) const {
        std::ostringstream out;
        std::ostringstream err;
        const std::clock_t start = std::clock();
        runLinksCommand({"--json", kReal + "/" + file}, out, err, m_config.path());
        const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        const Json documents = Json::parse(out.str());
        return {documents.items().empty() ? Json() : documents.items().front(), err.str(), seconds};
    }

    test::TempFolder m_config;
};

std::string folderOf(const std::string& file) {
    return kReal + "/" + std::filesystem::path(file).parent_path().string();
}

TEST_F(RealDocuments, EachDocumentGivesTheLinksItsBytesHold) {
    for (const ExpectedDocument& expected : expectedDocuments()) {
        SCOPED_TRACE(expected.file);
        const ToolAnswer answer = listLinks(expected.file);
        EXPECT_TRUE(answer.document["error"].isNull());
        EXPECT_EQ(answer.err, "");
        const std::vector<Json>& links = answer.document["links"].items();
        ASSERT_EQ(links.size(), expected.links.size());
        for (std::size_t i = 0; i < expected.links.size(); ++i) {
            const ExpectedLink& want = expected.links[i];
            const Json& link = links[i];
            SCOPED_TRACE(want.storage);
            EXPECT_EQ(link["storage"].text(), want.storage);
            EXPECT_EQ(link["saved_absolute"].text(), want.savedAbsolute);
            EXPECT_EQ(link["saved_relative"].text(), want.savedRelative.value());
            if (want.besideDocument.empty()) {
                EXPECT_EQ(link["resolved_by"].text(), "missing");
                EXPECT_EQ(link["full_name"].text(), want.storedFile);
            } else {
                EXPECT_EQ(link["resolved_by"].text(), "container");
                EXPECT_EQ(link["full_name"].text(),
                          nativePath(folderOf(expected.file) + "/" + want.besideDocument));
            }
        }
    }
}

// The manifest's rows: file and the number of links it holds.
std::map<std::string, int> manifestLinkCounts() {
    std::ifstream manifest(kReal + "/MANIFEST.md");
    const std::regex row(R"(^\| `([^`]+)` \|(?:[^|]*\|){4} (\d+) \|)");
    std::map<std::string, int> counts;
    std::string line;
    while (std::getline(manifest, line)) {
        std::smatch match;
        if (std::regex_search(line, match, row)) {
            counts[match[1]] = std::stoi(match[2]);
        }
    }
    return counts;
}

TEST_F(RealDocuments, EveryDocumentIsReadWithinASecondAndGivesTheManifestsCount) {
    const std::map<std::string, int> counts = manifestLinkCounts();
    ASSERT_EQ(counts.size(), 64u);
    int links = 0;
    for (const auto& [file, count] : counts) {
        SCOPED_TRACE(file);
        const ToolAnswer answer = listLinks(file);
        const bool damaged = std::find(kDamaged.begin(), kDamaged.end(), file) != kDamaged.end();
        if (damaged) {
            EXPECT_EQ(answer.document["error"]["number"].integer(), 321);
        } else {
            EXPECT_TRUE(answer.document["error"].isNull()) << answer.err;
        }
        if (file.starts_with("se-")) {
            EXPECT_EQ(answer.err, "");
        }
        EXPECT_EQ(answer.document["links"].items().size(), static_cast<std::size_t>(count));
        links += static_cast<int>(answer.document["links"].items().size());
        EXPECT_LT(answer.seconds, OSTREVAN_SECONDS_PER_DOCUMENT);
    }
    EXPECT_EQ(links, 56);
}

TEST_F(RealDocuments, EveryDocumentInTheFolderIsInTheManifest) {
    const std::map<std::string, int> counts = manifestLinkCounts();
    for (const auto& entry : std::filesystem::recursive_directory_iterator(test::pathOf(kReal))) {
        const std::u8string relative =
            std::filesystem::relative(entry.path(), test::pathOf(kReal)).generic_u8string();
        const std::string file(relative.begin(), relative.end());
        if (entry.is_regular_file() && file != "MANIFEST.md") {
            EXPECT_TRUE(counts.contains(file)) << file;
        }
    }
}

TEST_F(RealDocuments, RevisionManagerGivesEachLinkedFileOfAFamilyOnceInTheOrderFound) {
    Automation automation;
    registerLinkReaderServers(automation, m_config.path(), [](const std::string&) {});
    const std::string family = "se-openmcdf/removedrefs-324fd80/FamilyASM.asm";
    const std::string folder = folderOf(family);
    const std::vector<std::string> expected = {
        kTraining + "chead.par", kTraining + "Splate.par", kTraining + "mtgpin.par",
        nativePath(folder + "/SimplePart.par"), nativePath(folder + "/SimplePsm.psm")};

    auto application = automation.create<RevisionManagerApplication>(kRevisionManagerProgId);
    auto document = application->Open(kReal + "/" + family);
    const auto linked = document->LinkedDocuments(0);
    ASSERT_NE(linked, nullptr);
    std::vector<std::string> names;
    for (const auto& link : *linked) {
        names.push_back(link->FullName());
    }
    EXPECT_EQ(names, expected);
}

} // namespace
} // namespace ostrevan
