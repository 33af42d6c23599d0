#include "platform/ole/LinkResolution.h"

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "tests/support/CompoundFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ostrevan {
namespace {

using test::TempFolder;

MonikerTarget monikerTarget(std::string path, std::int32_t upLevels) {
    MonikerTarget target;
    target.path = std::move(path);
    target.upLevels = upLevels;
    return target;
}

std::vector<std::string> parseReporting(std::string_view text, LinkManagement& rules) {
    std::vector<std::string> reports;
    rules = parseLinkManagement(text, [&](const std::string& line) { reports.push_back(line); });
    return reports;
}

TEST(LinkManagement, KeywordsSearchPathAndMap) {
    LinkManagement rules;
    const auto reports = parseReporting("\xEF\xBB\xBF; Reihenfolge\r\n"
                                        "absolute\r\n"
                                        "  CONTAINER \r\n"
                                        "\r\n"
                                        "BEGIN SEARCH PATH\r\n"
                                        "/mnt/norm teile\r\n"
                                        "END SEARCH PATH\r\n"
                                        "BEGIN MAP\r\n"
                                        "P:\\Projekte , /mnt/projekte\r\n"
                                        "\\\\server\\norm,/mnt/norm\r\n"
                                        "END MAP\r\n",
                                        rules);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(rules.order, (std::vector<LinkRule>{LinkRule::Absolute, LinkRule::Container}));
    EXPECT_EQ(rules.searchPath, (std::vector<std::string>{"/mnt/norm teile"}));
    ASSERT_EQ(rules.map.size(), 2u);
    EXPECT_EQ(rules.map[0].from, "P:\\Projekte");
    EXPECT_EQ(rules.map[0].to, "/mnt/projekte");
    EXPECT_EQ(rules.map[1].from, "\\\\server\\norm");
}

TEST(LinkManagement, MalformedLinesAreReportedAndIgnored) {
    LinkManagement rules;
    const auto reports = parseReporting("RELATIVE\n"
                                        "RELATIVE\n"
                                        "SOMEWHERE\n"
                                        "BEGIN MAP\n"
                                        "P:\\ohne Komma\n"
                                        "BEGIN SEARCH PATH\n"
                                        "P:\\Alt,/neu\n",
                                        rules);
    EXPECT_EQ(reports, (std::vector<std::string>{
                           "LinkMgmt.txt:2: rule named twice: RELATIVE",
                           "LinkMgmt.txt:3: unknown line: SOMEWHERE",
                           "LinkMgmt.txt:5: a map line needs old and new location separated by "
                           "a comma: P:\\ohne Komma",
                           "LinkMgmt.txt:6: section line inside the map: BEGIN SEARCH PATH",
                           "LinkMgmt.txt:7: missing END MAP",
                       }));
    EXPECT_EQ(rules.order, (std::vector<LinkRule>{LinkRule::Relative}));
    ASSERT_EQ(rules.map.size(), 1u);
    EXPECT_EQ(rules.map[0].to, "/neu");
}

TEST(LinkManagement, AFileWithoutRulesKeepsTheDefaultOrderAndAnsiTextIsRead) {
    LinkManagement rules;
    parseReporting("BEGIN SEARCH PATH\n/mnt/M\xE4rz\nEND SEARCH PATH\n", rules);
    EXPECT_EQ(rules.order, LinkManagement{}.order);
    EXPECT_EQ(rules.searchPath, (std::vector<std::string>{"/mnt/März"}));
}

TEST(LinkManagement, LoadedFromTheFolderOrDefault) {
    TempFolder folder;
    EXPECT_EQ(loadLinkManagement(folder.path(), nullptr).order, LinkManagement{}.order);
    folder.file("LinkMgmt.txt", "RELATIVE\n");
    EXPECT_EQ(loadLinkManagement(folder.path(), nullptr).order,
              (std::vector<LinkRule>{LinkRule::Relative}));
}

TEST(LinkManagement, OnlyARegularFileOfAtMostOneMebibyteIsRead) {
    TempFolder folder;
    std::vector<std::string> reports;
    const MalformedLineReport report = [&](const std::string& message) {
        reports.push_back(message);
    };
    const std::string path = folder.at("LinkMgmt.txt");
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    EXPECT_EQ(loadLinkManagement(folder.path(), report).order, LinkManagement{}.order)
        << "a pipe without a writer does not block";
    ASSERT_EQ(::unlink(path.c_str()), 0);
    folder.link("LinkMgmt.txt", "/dev/zero");
    EXPECT_EQ(loadLinkManagement(folder.path(), report).order, LinkManagement{}.order);
    ASSERT_EQ(::unlink(path.c_str()), 0);
    folder.file("LinkMgmt.txt", "RELATIVE\n" + std::string(1024 * 1024, '#'));
    EXPECT_EQ(loadLinkManagement(folder.path(), report).order, LinkManagement{}.order);
    const std::string unusable = "LinkMgmt.txt: not a text file of at most 1 MiB; using the "
                                 "default rules";
    EXPECT_EQ(reports, (std::vector<std::string>{unusable, unusable, unusable}));

    folder.file("LinkMgmt.txt", "RELATIVE\n" + std::string(1024 * 1024 - 10, '#'));
    EXPECT_EQ(loadLinkManagement(folder.path(), report).order,
              (std::vector<LinkRule>{LinkRule::Relative}));
    EXPECT_EQ(reports.size(), 3u);
}

// A document in folder/Anlage/Baugruppe.asm whose link was saved on Windows as
// C:\Data\Teile\Welle.par, relative ..\Teile\Welle.par.
class Resolution : public ::testing::Test {
protected:
    ResolvedLink resolve(const LinkManagement& rules = {}) const {
        return resolveLink(m_document, m_link, rules);
    }
    std::string put(const std::string& relative) const { return m_folder.file(relative, "x"); }

    TempFolder m_folder;
    std::string m_document = m_folder.file("Anlage/Baugruppe.asm");
    LinkObject m_link{"JSite1", monikerTarget("C:\\Data\\Teile\\Welle.par", 0),
                      monikerTarget("Teile\\Welle.par", 1)};
};

TEST_F(Resolution, ContainerFindsTheNameNextToTheDocument) {
    const std::string next = put("Anlage/Welle.par");
    put("Anlage/Teile/Welle.par");
    const ResolvedLink link = resolve();
    EXPECT_EQ(link.fullName, next);
    EXPECT_EQ(link.resolvedBy, ResolvedBy::Container);
}

TEST_F(Resolution, RelativeAppliesTheStoredLevels) {
    const std::string below = put("Anlage/Teile/Welle.par");
    EXPECT_EQ(resolve().fullName, below);
    EXPECT_EQ(resolve().resolvedBy, ResolvedBy::Relative);
    m_link.relative = monikerTarget("Norm\\Welle.par", 2);
    const std::string beside = put("Norm/Welle.par");
    EXPECT_EQ(resolve().fullName, beside);
}

TEST_F(Resolution, AbsoluteTakesAStoredPathOfThisMachine) {
    const std::string elsewhere = put("Lager/Welle.par");
    m_link.absolute.path = elsewhere;
    m_link.relative.reset();
    EXPECT_EQ(resolve().fullName, elsewhere);
    EXPECT_EQ(resolve().resolvedBy, ResolvedBy::Absolute);
}

TEST_F(Resolution, TheOrderComesFromTheRules) {
    put("Anlage/Welle.par");
    const std::string below = put("Anlage/Teile/Welle.par");
    LinkManagement rules;
    rules.order = {LinkRule::Relative, LinkRule::Container};
    EXPECT_EQ(resolve(rules).fullName, below);
    rules.order = {LinkRule::Absolute};
    EXPECT_EQ(resolve(rules).resolvedBy, ResolvedBy::Missing);
}

TEST_F(Resolution, SearchPathAfterTheRules) {
    const std::string norm = put("Normteile ß/Welle.par");
    LinkManagement rules;
    rules.searchPath = {m_folder.at("leer"), m_folder.at("Normteile ß")};
    EXPECT_EQ(resolve(rules).fullName, norm);
    EXPECT_EQ(resolve(rules).resolvedBy, ResolvedBy::SearchPath);
}

TEST_F(Resolution, AMapTurnsAWindowsPrefixIntoAFolderHere) {
    const std::string mounted = put("projekte/Data/Teile/Welle.par");
    LinkManagement rules;
    rules.order = {LinkRule::Container, LinkRule::Absolute};
    rules.map = {{"D:\\", "/nirgends"}, {"c:\\", m_folder.at("projekte") + "/"}};
    const ResolvedLink link = resolve(rules);
    EXPECT_EQ(link.fullName, mounted);
    EXPECT_EQ(link.resolvedBy, ResolvedBy::Mapped);
    rules.order = {LinkRule::Container};
    EXPECT_EQ(resolve(rules).resolvedBy, ResolvedBy::Mapped);
}

TEST_F(Resolution, AMissingLinkShowsItsStoredPath) {
    const ResolvedLink link = resolve();
    EXPECT_EQ(link.fullName, "C:\\Data\\Teile\\Welle.par");
    EXPECT_EQ(link.resolvedBy, ResolvedBy::Missing);
    EXPECT_EQ(resolvedByName(link.resolvedBy), "missing");
}

TEST_F(Resolution, ARelativeMonikerWithoutStepsAndARootedPathIsAnAbsolutePath) {
    // Written so when no relative path exists: another server, another drive.
    const std::string stored = put("Lager/Welle.par");
    m_link.absolute = monikerTarget("\\\\server\\Lager\\Welle.par", 0);
    m_link.relative = monikerTarget(stored, 0);
    LinkManagement rules;
    rules.order = {LinkRule::Relative};
    EXPECT_EQ(resolve(rules).fullName, stored);
    EXPECT_EQ(resolve(rules).resolvedBy, ResolvedBy::Absolute);
    // Not taken as steps from the document, nor as a path below its folder.
    m_link.relative = monikerTarget("\\\\server\\Lager\\Welle.par", 0);
    put("Anlage/server/Lager/Welle.par");
    EXPECT_EQ(resolve(rules).resolvedBy, ResolvedBy::Missing);
    m_link.relative = monikerTarget("Welle.par", 0);
    put("Anlage/Welle.par");
    EXPECT_EQ(resolve(rules).resolvedBy, ResolvedBy::Missing);
}

TEST_F(Resolution, FoldersAreNoFiles) {
    m_folder.folder("Anlage/Welle.par");
    EXPECT_EQ(resolve().resolvedBy, ResolvedBy::Missing);
}

TEST(ApplyRelative, LevelsAndRoots) {
    EXPECT_EQ(applyRelative("/a/b/c.asm", monikerTarget("x.par", 1)), "/a/b/x.par");
    EXPECT_EQ(applyRelative("/a/b/c.asm", monikerTarget("x.par", 3)), "/x.par");
    EXPECT_EQ(applyRelative("/a/b/c.asm", monikerTarget("x.par", 4)), std::nullopt);
    EXPECT_EQ(applyRelative("/a/b/c.asm", monikerTarget(".\\Sub\\..\\x.par", 1)), "/a/b/x.par");
    EXPECT_EQ(applyRelative("/a/b/c.asm", monikerTarget("x.par", 0)), std::nullopt);
    EXPECT_EQ(applyRelative("/a/b/c.asm", monikerTarget("D:\\x.par", 2)), std::nullopt);
    EXPECT_EQ(applyRelative("\\\\srv\\share\\a.asm", monikerTarget("x.par", 2)), std::nullopt);
    EXPECT_EQ(applyRelative("\\\\srv\\share\\a\\b.asm", monikerTarget("x.par", 2)),
              "\\\\srv\\share\\x.par");
}

TEST(FolderListings, AnswerAsAStatOfTheFullPathWould) {
    const TempFolder folder;
    const std::string inFolder = folder.file("Anlage/Welle.par", "x");
    const std::string below = folder.file("Anlage/Teile/Mutter.par", "x");
    folder.file("Norm/Bolzen.par", "x");
    folder.file("Anlage/Groß Ä.par", "x");
    folder.file("Anlage/Punkt.", "x");
    folder.file("Anlage/ Blank.par ", "x");
    folder.file("Anlage/Rück\\strich.par", "x");
    folder.file("Anlage\\Welle.par", "x");
    folder.file("Anlage/" + std::string(255, 'n'), "x");
    folder.link("Anlage/Verweis.par", inFolder);
    folder.link("Anlage/Ins Leere.par", folder.at("Anlage/fehlt.par"));
    folder.link("Anlage/Schleife.par", folder.at("Anlage/Schleife.par"));
    folder.link("Anlage/Zum Ordner", folder.at("Anlage/Teile"));
    folder.link("Verweis Norm", folder.at("Norm"));
    folder.folder("Anlage/Ordner.par");
    ASSERT_EQ(::mkfifo(folder.at("Anlage/Rohr.par").c_str(), 0644), 0);
    // A file whose full path is too long for the system, made from its open folder.
    const std::string deep = [&] {
        std::string relative = std::string(200, 't');
        while (folder.at(relative).size() < PATH_MAX - 200) {
            relative += "/" + std::string(200, 't');
        }
        const std::string name(250, 'e');
        const int opened = ::open(folder.folder(relative).c_str(), O_PATH | O_DIRECTORY);
        const int made = ::openat(opened, name.c_str(), O_WRONLY | O_CREAT, 0644);
        EXPECT_GE(made, 0);
        ::close(made);
        ::close(opened);
        return folder.at(relative + "/" + name);
    }();
    ASSERT_GE(deep.size(), PATH_MAX);
    const std::vector<std::string> paths = {
        inFolder,
        below,
        folder.at("Anlage/welle.par"),
        folder.at("Anlage/WELLE.PAR"),
        folder.at("Anlage/Welle.par "),
        folder.at("Anlage/Welle.pa"),
        folder.at("Anlage/Groß Ä.par"),
        folder.at("Anlage/groß ä.par"),
        folder.at("Anlage/Gross Ä.par"),
        folder.at("Anlage/Gro\xC3\x9F A\xCC\x88.par"), // the umlaut decomposed
        folder.at("Anlage/Punkt."),
        folder.at("Anlage/Punkt"),
        folder.at("Anlage/ Blank.par "),
        folder.at("Anlage/Blank.par"),
        folder.at("Anlage/Rück\\strich.par"),
        folder.at("Anlage/" + std::string(255, 'n')),
        folder.at("Anlage/" + std::string(256, 'n')),
        folder.at("Anlage/Verweis.par"),
        folder.at("Anlage/Ins Leere.par"),
        folder.at("Anlage/Schleife.par"),
        folder.at("Anlage/Zum Ordner"),
        folder.at("Anlage/Zum Ordner/Mutter.par"),
        folder.at("Verweis Norm/Bolzen.par"),
        folder.at("Verweis Norm/bolzen.par"),
        folder.at("Anlage/Ordner.par"),
        folder.at("Anlage/Rohr.par"),
        folder.at("Anlage/fehlt.par"),
        folder.at("Anlage/Teile"),
        folder.at("Anlage/Welle.par/x"),
        folder.at("Anlage/"),
        folder.at("Anlage"),
        folder.at("Anlage/."),
        folder.at("Anlage/.."),
        folder.at("Anlage/Teile/../Welle.par"),
        folder.at("Anlage//Welle.par"),
        folder.at("Anlagen/Welle.par"),
        folder.at("Anlagen/Welle.par"),
        folder.at("Anlage/Welle.par") + std::string(1, '\0') + "x",
        std::string(folder.at("Anlage/Wel")) + std::string(1, '\0') + "le.par",
        deep,
        deep + "x",
        deep + "/x",
        "relativ/Welle.par",
        "/",
        "",
    };
    // One listing per question, and one asked everything in turn: an earlier answer must not
    // change a later one.
    FolderListings shared;
    for (const std::string& path : paths) {
        EXPECT_EQ(FolderListings().isFile(path), regularFileExists(path)) << path;
        EXPECT_EQ(shared.isFile(path), regularFileExists(path)) << path;
    }
    EXPECT_TRUE(shared.isFile(below));
    // A name in a folder answers as the path BuildPath makes of them, whatever the two hold.
    std::vector<std::pair<std::string, std::string>> names;
    for (const std::string& path : paths) {
        const std::size_t separator = path.rfind('/');
        if (separator != std::string::npos) {
            names.emplace_back(path.substr(0, separator), path.substr(separator + 1));
            names.emplace_back(path.substr(0, separator + 1), path.substr(separator + 1));
        }
    }
    for (const char* name :
         {"Teile/Mutter.par", "\\Welle.par", "Teile\\Mutter.par", ".", "..", "", "/Welle.par"}) {
        names.emplace_back(folder.at("Anlage"), name);
    }
    names.emplace_back("/", "");
    names.emplace_back("relativ", "Welle.par");
    names.emplace_back(folder.at("Anlage\\"), "Welle.par");
    FolderListings sharedNames;
    for (const auto& [in, name] : names) {
        const std::string path = FileSystem::BuildPath(in, name);
        EXPECT_EQ(FolderListings().isFileIn(in, name), regularFileExists(path))
            << in << " " << name;
        EXPECT_EQ(sharedNames.isFileIn(in, name), regularFileExists(path)) << in << " " << name;
        EXPECT_EQ(shared.isFileIn(in, name), regularFileExists(path)) << in << " " << name;
    }
}

TEST(FolderListings, AFileCreatedOrRemovedAfterItsFolderWasListedShowsToTheNextOnly) {
    const TempFolder folder;
    const std::string kept = folder.file("Anlage/Welle.par", "x");
    const std::string removed = folder.file("Anlage/Bolzen.par", "x");
    const std::string created = folder.at("Anlage/Mutter.par");
    const std::string inMissing = folder.at("Norm/Scheibe.par");
    FolderListings listed;
    EXPECT_TRUE(listed.isFile(kept));
    EXPECT_FALSE(listed.isFile(inMissing));
    ASSERT_EQ(::unlink(removed.c_str()), 0);
    folder.file("Anlage/Mutter.par", "x");
    folder.file("Norm/Scheibe.par", "x");
    EXPECT_TRUE(listed.isFile(removed));
    EXPECT_FALSE(listed.isFile(created));
    EXPECT_FALSE(listed.isFile(inMissing));
    FolderListings next;
    EXPECT_FALSE(next.isFile(removed));
    EXPECT_TRUE(next.isFile(created));
    EXPECT_TRUE(next.isFile(inMissing));
}

TEST(FolderListings, AFolderThatMayBeReadButNotSearchedReachesNoFile) {
    const TempFolder folder;
    const std::vector<std::string> paths = {
        folder.file("Nur lesbar/Welle.par", "x"),
        folder.at("Nur lesbar/Fehlt.par"),
        folder.file("Nur suchbar/Welle.par", "x"),
        folder.at("Nur suchbar/Fehlt.par"),
    };
    ASSERT_EQ(::chmod(folder.at("Nur lesbar").c_str(), 0644), 0);
    ASSERT_EQ(::chmod(folder.at("Nur suchbar").c_str(), 0311), 0);
    test::expectUnprivileged([&] {
        std::string wrong;
        FolderListings listings;
        for (const std::string& path : paths) {
            if (listings.isFile(path) != regularFileExists(path)) {
                wrong += path + " ";
            }
        }
        return wrong;
    });
}

TEST(FolderListings, ANameAFolderMightFindByAnotherSpellingIsLookedUp) {
    const TempFolder folder;
    // No letter to tell whether the folder folds case: a name it lacks is looked up.
    folder.file("Ziffern/123", "x");
    // An ASCII name is told apart in a folder that does not fold case; one beyond ASCII might
    // still be found in another Unicode normal form.
    folder.file("Norm/Welle.par", "x");
    FolderListings listings;
    EXPECT_FALSE(listings.isFile(folder.at("Ziffern/456")));
    EXPECT_FALSE(listings.isFile(folder.at("Norm/Bolzen.par")));
    EXPECT_FALSE(listings.isFile(folder.at("Norm/Mütter.par")));
    folder.file("Ziffern/456", "x");
    folder.file("Norm/Bolzen.par", "x");
    folder.file("Norm/Mütter.par", "x");
    EXPECT_TRUE(listings.isFile(folder.at("Ziffern/456")));
    EXPECT_FALSE(listings.isFile(folder.at("Norm/Bolzen.par")));
    EXPECT_TRUE(listings.isFile(folder.at("Norm/Mütter.par")));
}

TEST_F(Resolution, TheDocumentsFolderIsTakenInItsNormalForm) {
    const std::string next = put("Anlage/Welle.par");
    const std::string root = m_folder.path();
    for (const std::string& spelling :
         {root + "/Anlage/Baugruppe.asm", root + "//Anlage/Baugruppe.asm",
          root + "/./Anlage/Baugruppe.asm", root + "/Anlage/../Anlage/Baugruppe.asm",
          root + "/Anlage/./Baugruppe.asm"}) {
        const ResolvedLink link = resolveLink(spelling, m_link, {});
        EXPECT_EQ(link.fullName, next) << spelling;
        FolderListings folders;
        EXPECT_EQ(DocumentLinkResolver(spelling, {}, folders).resolve(m_link).fullName, next)
            << spelling;
    }
}

// What reading by the path gives: the links' absolute paths, or the error number.
std::string readByPath(const std::string& path) {
    try {
        std::string paths;
        for (const LinkObject& link : readLinkObjects(path).links) {
            paths += link.absolute.path + ";";
        }
        return paths;
    } catch (...) {
        return "error " + std::to_string(caughtError().number());
    }
}

std::string readByResolver(const std::string& path) {
    try {
        std::string paths;
        FolderListings folders;
        for (const LinkObject& link :
             DocumentLinkResolver(path, {}, folders).readLinkObjects().links) {
            paths += link.absolute.path + ";";
        }
        return paths;
    } catch (...) {
        return "error " + std::to_string(caughtError().number());
    }
}

TEST(DocumentLinkResolver, ReadsTheFileThatItsPathNames) {
    const TempFolder folder;
    folder.folder("Anlage/Tiefer");
    folder.folder("Norm/Ziel");
    fixture::writeCompoundDocument(folder.at("Anlage/Baugruppe.asm"), {{"C:\\Anlage.par"}});
    fixture::writeCompoundDocument(folder.at("Baugruppe.asm"), {{"C:\\Oben.par"}});
    // Anlage/Tiefer/.. is Anlage, but Verweis/.. is the folder holding Norm: a ".." after a
    // symbolic link leads where the link's target lies.
    fixture::writeCompoundDocument(folder.at("Norm/Baugruppe.asm"), {{"C:\\Norm.par"}});
    folder.link("Anlage/Verweis", folder.at("Norm/Ziel"));
    folder.folder("Anlage/Ordner.asm");
    folder.file("Anlage/Leer.asm");
    const std::string root = folder.path();
    const std::vector<std::string> paths = {
        root + "/Anlage/Baugruppe.asm",
        root + "/Anlage/Tiefer/../Baugruppe.asm",
        root + "/Anlage/Verweis/../Baugruppe.asm",
        root + "//Anlage/./Baugruppe.asm",
        root + "/Anlage/Fehlt.asm",
        root + "/Fehlt/Baugruppe.asm",
        root + "/Anlage/Ordner.asm",
        root + "/Anlage/Leer.asm",
        root + "/Anlage/Baugruppe.asm/x",
        "",
    };
    for (const std::string& path : paths) {
        EXPECT_EQ(readByResolver(path), readByPath(path)) << path;
    }
    EXPECT_EQ(readByResolver(root + "/Anlage/Verweis/../Baugruppe.asm"), "C:\\Norm.par;");
}

TEST_F(Resolution, TheResolverOfADocumentFindsWhatResolveLinkFinds) {
    const LinkManagement relativeFirst = [] {
        LinkManagement rules;
        rules.order = {LinkRule::Relative, LinkRule::Container};
        return rules;
    }();
    put("Anlage/Welle.par");
    put("Anlage/Teile/Welle.par");
    for (const LinkManagement& rules : {LinkManagement{}, relativeFirst}) {
        FolderListings folders;
        const DocumentLinkResolver resolver(m_document, rules, folders);
        const ResolvedLink expected = resolveLink(m_document, m_link, rules);
        const ResolvedLink resolved = resolver.resolve(m_link);
        EXPECT_EQ(resolved.fullName, expected.fullName);
        EXPECT_EQ(resolved.resolvedBy, expected.resolvedBy);
    }
    FolderListings folders;
    EXPECT_EQ(DocumentLinkResolver(m_document, relativeFirst, folders).resolve(m_link).resolvedBy,
              ResolvedBy::Relative);
}

} // namespace
} // namespace ostrevan
