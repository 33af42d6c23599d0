// Link resolution and the document reader on Windows paths: drives, shares, long paths, the
// separators Windows writes, and files that other programs may still rename or delete.

#include "platform/ole/LinkResolution.h"
#include "platform/Error.h"
#include "platform/ole/FileInput.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/WindowsApi.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

using test::TempFolder;

MonikerTarget monikerTarget(std::string path, std::int32_t upLevels) {
    MonikerTarget target;
    target.path = std::move(path);
    target.upLevels = upLevels;
    return target;
}

template <class Body> std::int32_t errorOf(Body&& body) {
    const auto error = trapError(std::forward<Body>(body));
    return error ? error->number() : 0;
}

TEST(Win32LocalFiles, DrivesAndSharesAreThisMachinesPathsAndPosixPathsAreNot) {
    const std::pair<const char*, bool> rows[] = {
        {"C:\\Data\\Welle.par", true},
        {"c:/Data/Welle.par", true},
        {"\\\\server\\share\\a.par", true},
        {"//server/share/a.par", true},
        {"C:Welle.par", false},
        {"\\Data\\Welle.par", false},
        {"/home/u/Welle.par", false},
        {"Welle.par", false},
        {"\\\\", false},
        {"", false},
    };
    for (const auto& [path, local] : rows) {
        EXPECT_EQ(isLocalAbsolutePath(path), local) << path;
    }
}

// A document in folder\Anlage\Baugruppe.asm whose link was saved as C:\Data\Teile\Welle.par.
class Win32Resolution : public ::testing::Test {
protected:
    std::string put(const std::string& relative) const { return m_folder.file(relative, "x"); }

    TempFolder m_folder;
    std::string m_document = m_folder.file("Anlage\\Baugruppe.asm");
    LinkObject m_link{"JSite1", monikerTarget("C:\\Data\\Teile\\Welle.par", 0),
                      monikerTarget("Teile\\Welle.par", 1)};
};

TEST_F(Win32Resolution, RelativeStepsAreTakenFromTheDocumentsWindowsPath) {
    const std::string beside = put("Norm\\Welle.par");
    m_link.relative = monikerTarget("Norm\\Welle.par", 2);
    // However the document's path is written, the answer is in Windows' form.
    for (const std::string& spelling :
         {m_document, m_folder.path() + "/Anlage/../Anlage/./Baugruppe.asm"}) {
        const ResolvedLink link = resolveLink(spelling, m_link, {});
        EXPECT_EQ(link.fullName, beside) << spelling;
        EXPECT_EQ(link.resolvedBy, ResolvedBy::Relative);
        FolderListings folders;
        EXPECT_EQ(DocumentLinkResolver(spelling, {}, folders).resolve(m_link).fullName, beside);
    }
}

TEST_F(Win32Resolution, TheContainerRuleLooksBesideTheDocument) {
    const std::string next = put("Anlage\\Welle.par");
    const ResolvedLink link = resolveLink(m_document, m_link, {});
    EXPECT_EQ(link.fullName, next);
    EXPECT_EQ(link.resolvedBy, ResolvedBy::Container);
}

TEST_F(Win32Resolution, AStoredDriveOrSharePathIsAskedForAsItIs) {
    LinkManagement rules;
    rules.order = {LinkRule::Absolute};
    for (const std::string stored :
         {"C:\\Data\\Teile\\Welle.par", "\\\\server\\share\\Welle.par"}) {
        m_link.absolute.path = stored;
        std::vector<std::string> asked;
        const ResolvedLink link =
            resolveLink(m_document, m_link, rules, [&](const std::string& path) {
                asked.push_back(path);
                return path == stored;
            });
        EXPECT_EQ(asked, std::vector<std::string>{stored});
        EXPECT_EQ(link.fullName, stored);
        EXPECT_EQ(link.resolvedBy, ResolvedBy::Absolute);
    }
    // A path of a POSIX machine is none of this one.
    m_link.absolute.path = "/home/konstrukteur/Welle.par";
    std::vector<std::string> asked;
    resolveLink(m_document, m_link, rules, [&](const std::string& path) {
        asked.push_back(path);
        return true;
    });
    EXPECT_TRUE(asked.empty());
}

TEST_F(Win32Resolution, AMapGivesAPathWithWindowsSeparators) {
    const std::string mounted = put("Lager\\Teile\\Welle.par");
    LinkManagement rules;
    rules.order = {LinkRule::Absolute};
    rules.map = {{"c:\\data\\", m_folder.path() + "/Lager/"}};
    const ResolvedLink link = resolveLink(m_document, m_link, rules);
    EXPECT_EQ(link.fullName, mounted);
    EXPECT_EQ(link.resolvedBy, ResolvedBy::Mapped);
}

TEST_F(Win32Resolution, FilesBeyond260CharactersAreFoundAndFoldersAreNoFiles) {
    std::string deep = m_folder.path();
    for (int level = 0; level < 7; ++level) {
        deep += "\\" + std::string(40, static_cast<char>('a' + level));
        ASSERT_TRUE(CreateDirectoryW(longPath(deep).c_str(), nullptr));
    }
    const std::string file = deep + "\\Welle.par";
    ASSERT_GT(file.size(), 300U);
    const HANDLE made = CreateFileW(longPath(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(made, INVALID_HANDLE_VALUE);
    CloseHandle(made);
    EXPECT_TRUE(regularFileExists(file));
    EXPECT_FALSE(regularFileExists(deep));
    EXPECT_FALSE(regularFileExists(deep + "\\fehlt.par"));
    EXPECT_TRUE(FolderListings().isFile(file));
}

TEST(Win32LinkManagement, IsReadFromAWindowsFolder) {
    const TempFolder folder;
    folder.file("LinkMgmt.txt",
                "RELATIVE\r\nBEGIN SEARCH PATH\r\nD:\\Normteile\r\nEND SEARCH PATH\r\n");
    const LinkManagement rules = loadLinkManagement(folder.path(), nullptr);
    EXPECT_EQ(rules.order, std::vector<LinkRule>{LinkRule::Relative});
    EXPECT_EQ(rules.searchPath, std::vector<std::string>{"D:\\Normteile"});
    folder.folder("Ordner\\LinkMgmt.txt");
    std::vector<std::string> reports;
    loadLinkManagement(folder.at("Ordner"),
                       [&](const std::string& message) { reports.push_back(message); });
    EXPECT_EQ(reports, std::vector<std::string>{"LinkMgmt.txt: not a text file of at most 1 MiB; "
                                                "using the default rules"});
}

TEST(Win32FileInput, AnOpenDocumentMayStillBeRenamedAndDeletedByOthers) {
    const TempFolder folder;
    const std::string path = folder.file("Baugruppe.asm", std::string(5000, 'z'));
    FileInput input(path);
    EXPECT_EQ(input.size(), 5000U);
    // What a CAD program does when it saves: write anew, rename, delete.
    EXPECT_TRUE(MoveFileExW(longPath(path).c_str(), longPath(folder.at("alt.asm")).c_str(), 0));
    std::uint8_t byte = 0;
    EXPECT_TRUE(input.read(4999, std::span(&byte, 1)));
    EXPECT_EQ(byte, 'z');
    EXPECT_TRUE(DeleteFileW(longPath(folder.at("alt.asm")).c_str()));
}

TEST(Win32FileInput, FoldersAndMissingFilesRaiseTheRuntimesErrors) {
    const TempFolder folder;
    EXPECT_EQ(errorOf([&] { FileInput input(folder.path()); }), err::BadFileFormat);
    EXPECT_EQ(errorOf([&] { FileInput input(folder.at("fehlt.par")); }), err::FileNotFound);
    EXPECT_EQ(errorOf([&] { FileInput input(folder.at("fehlt\\a.par")); }), err::PathNotFound);
}

} // namespace
} // namespace ostrevan
