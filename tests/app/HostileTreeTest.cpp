// The real main window over a tree that a hostile or careless colleague could leave on a
// shared server: names with markup, line breaks and Latin-1 bytes, links that lead nowhere,
// into the kernel's file systems or to one folder by 2^16 paths, documents that cannot be
// read, a LinkMgmt.txt that is a pipe, and a broken registry store.

#include "app/frmMain.h"

#include "platform/Automation.h"
#include "platform/RegistryFileTypes.h"
#include "platform/Text.h"
#include "platform/ole/LinkReaderServers.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/RegistryStore.h"
#include "scan/MainForm.h"
#include "tests/scan/ReportFixture.h"
#include "tests/support/CompoundFixture.h"
#include "tests/support/FakeWindowServices.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WidgetLookup.h"

#include <QAbstractItemModel>
#include <QElapsedTimer>
#include <QLabel>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace ostrevan {
namespace {

using namespace fakes;
using Pair = std::pair<std::string, std::string>;

// A folder with a short path free of blanks, for a pipe that markup could name.
class ShortTempFolder final {
public:
    ShortTempFolder() {
        std::string pattern = "/tmp/ostrevanXXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        m_path = pattern;
    }
    ~ShortTempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ShortTempFolder(const ShortTempFolder&) = delete;
    ShortTempFolder& operator=(const ShortTempFolder&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

class HostileTree : public ::testing::Test, protected FakeWindowServices {
protected:
    std::string at(const std::string& relative) const { return temp.at(relative); }

    std::string document(const std::string& relative, const std::vector<std::string>& links) {
        std::vector<fixture::FixtureLink> stored;
        for (const std::string& link : links) {
            stored.push_back({link});
        }
        const std::string path = temp.file(relative);
        fixture::writeCompoundDocument(path, stored, 1024);
        return path;
    }

    template <class Widget> Widget& child(const char* name) {
        return test::findControl<Widget>(*window, name);
    }
    void click(const char* name) { test::clickButton(*window, name); }

    void scanFolder(const std::string& folder) {
        click("btn_Weiter");
        folderChooser.choose(folder);
        click("btn_Folder");
        click("btn_Weiter");
        click("btn_ReferenzView");
    }

    // The list's rows as the logic holds them: document and reference, in list order.
    std::vector<Pair> listedRows() {
        std::vector<Pair> rows;
        ListView& list = window->form().ListView1;
        for (std::int32_t row = 1; row <= list.count(); ++row) {
            EXPECT_EQ(list.text(row, 0), std::to_string(row));
            rows.emplace_back(list.text(row, 1), list.text(row, 2));
        }
        return rows;
    }

    test::TempFolder temp;
    RegistryStore registry{temp.at("registry.sqlite3")};
    RegistryFileTypes types{registry, temp.at("registry.sqlite3")};
    PosixFileSystem fileSystem{types};
    std::vector<std::string> ignoredLines;
    std::unique_ptr<frmMain> window;
};

TEST_F(HostileTree, EverythingAtOnceFinishesWithEveryReadableRowAndAnHonestReport) {
    const std::string config = temp.folder("Konfiguration");
    ASSERT_EQ(::mkfifo((config + "/LinkMgmt.txt").c_str(), 0644), 0);
    registerLinkReaderServers(automation, config,
                              [this](const std::string& line) { ignoredLines.push_back(line); });

    const std::string project = temp.folder("Projekt");
    std::vector<Pair> expected;
    const auto expect = [&](const std::string& documentPath, const std::string& link) {
        expected.emplace_back(documentPath, link);
    };
    const std::string forged = "C:\\Fremd\\b\r\n00098   FORGED - y.par";
    expect(document("Projekt/Haupt.asm", {at("Projekt/Teil.par"), forged}), forged);
    document("Projekt/Teil.par", {});
    expect(document("Projekt/Fl\xFCgel \x80.par", {"C:\\Fremd\\Lager.par"}),
           "C:\\Fremd\\Lager.par");
    expect(document("Projekt/a\r\n00099   FORGED - x.par", {"C:\\Fremd\\c.par"}),
           "C:\\Fremd\\c.par");
    // A label that took this for markup would read the pipe and never return.
    const ShortTempFolder shortFolder;
    const std::string pipe = shortFolder.path() + "/p";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    expect(document("Projekt/<img src=" + pipe + ">/Bild.par", {"C:\\Fremd\\d.par"}),
           "C:\\Fremd\\d.par");
    // A lattice: d_i/a and d_i/b lead to d_{i+1}; the deepest folder is reached first
    // through d0/a/a/...
    constexpr int kLevels = 16;
    std::string deepest = at("Projekt/Gitter/d0");
    for (int i = 0; i <= kLevels; ++i) {
        temp.folder("Projekt/Gitter/d" + std::to_string(i));
    }
    for (int i = 0; i < kLevels; ++i) {
        const std::string from = "Projekt/Gitter/d" + std::to_string(i);
        temp.link(from + "/a", at("Projekt/Gitter/d" + std::to_string(i + 1)));
        temp.link(from + "/b", at("Projekt/Gitter/d" + std::to_string(i + 1)));
        deepest += "/a";
    }
    document("Projekt/Gitter/d" + std::to_string(kLevels) + "/tief.par", {"C:\\Fremd\\unten.par"});
    expect(deepest + "/tief.par", "C:\\Fremd\\unten.par");
    // Entries that are neither files nor folders of the listing.
    temp.link("Projekt/kaputt.par", "/etc/passwd/x");
    temp.link("Projekt/zu lang", "/" + std::string(300, 'x'));
    temp.link("Projekt/prozesse", "/proc");
    temp.link("Projekt/system", "/sys");
    ASSERT_EQ(::mkfifo(at("Projekt/rohr.par").c_str(), 0644), 0);
    // Documents that cannot be read.
    temp.file("Projekt/leer.par");
    temp.file("Projekt/Müll.par", std::string(700, 'M'));
    temp.link("Projekt/speicher.par", "/proc/self/mem");

    window = std::make_unique<frmMain>(services(fileSystem, temp.path()));
    QElapsedTimer timer;
    timer.start();
    scanFolder(project);
    const qint64 milliseconds = timer.elapsed();
    EXPECT_LT(milliseconds, 5000);

    ASSERT_EQ(messages.messages.size(), 1u) << messages.messages.back();
    EXPECT_EQ(messages.messages[0].rfind("ReadReference() ", 0), 0u) << messages.messages[0];
    EXPECT_NE(messages.messages[0].find("\n\n3 Dokumente konnten nicht gelesen werden:\n"),
              std::string::npos)
        << messages.messages[0];
    EXPECT_EQ(ignoredLines, std::vector<std::string>{"LinkMgmt.txt: not a text file of at most "
                                                     "1 MiB; using the default rules"});

    const std::vector<Pair> listed = listedRows();
    std::vector<Pair> sortedListed = listed;
    std::sort(sortedListed.begin(), sortedListed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sortedListed, expected);

    // Shown on one line, the Latin-1 name decoded as Windows-1252.
    const QAbstractItemModel& model = *child<QTableView>("ListView1").model();
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row) {
        shown << model.index(row, 1).data().toString() << model.index(row, 2).data().toString();
    }
    const QString all = shown.join(QLatin1Char('|'));
    EXPECT_TRUE(all.contains(QStringLiteral("Projekt/Flügel €.par"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("a\u240D\u240A00099   FORGED - x.par")))
        << all.toStdString();
    EXPECT_FALSE(all.contains(QLatin1Char('\n')));
    EXPECT_EQ(child<QLabel>("lbl_references").textFormat(), Qt::PlainText);
    EXPECT_EQ(child<QLabel>("lbl_CheckRef").textFormat(), Qt::PlainText);

    click("btn_export");
    const auto report = test::fileBytes(at("QZVExportRef.txt"));
    ASSERT_TRUE(report);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < report->size();) {
        const std::size_t end = report->find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "every line ends in CR LF";
        lines.push_back(report->substr(start, end - start));
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), listed.size() + 2) << *report;
    const auto field = [](const std::string& text) {
        return toWindows1252(controlsAsQuestionMarks(text));
    };
    for (std::size_t i = 0; i < listed.size(); ++i) {
        char number[32];
        std::snprintf(number, sizeof number, "%05zu", i + 1);
        EXPECT_EQ(lines[i + 2], std::string(number) + "   " + field(listed[i].first) + " - " +
                                    field(listed[i].second))
            << "line " << i + 3;
        EXPECT_EQ(lines[i + 2].find('\r'), std::string::npos);
    }
    EXPECT_NE(report->find("Fl\xFC"
                           "gel \x80.par"),
              std::string::npos)
        << "the Latin-1 byte is written as it was";
    EXPECT_TRUE(exitCodes.empty());
}

TEST_F(HostileTree, ABrokenRegistryStoreIsToldOnceNamingTheFile) {
    const std::string storePath = temp.file("kaputt.sqlite3", std::string(4096, 'x'));
    RegistryStore broken(storePath);
    const RegistryFileTypes brokenTypes(broken, storePath);
    const PosixFileSystem brokenFileSystem(brokenTypes);
    registerLinkReaderServers(automation, temp.folder("Konfiguration"), nullptr);
    for (const char* folder : {"Projekt/A", "Projekt/B", "Projekt/C"}) {
        document(std::string(folder) + "/teil.par", {"C:\\Fremd\\x.par"});
    }
    document("Projekt/oben.par", {});
    window = std::make_unique<frmMain>(services(brokenFileSystem, temp.path()));
    scanFolder(at("Projekt"));
    ASSERT_EQ(messages.messages.size(), 2u) << testing::PrintToString(messages.messages);
    EXPECT_EQ(messages.messages[0].rfind("GetAllFiles() Die Dateitypen-Registrierung " + storePath +
                                             " kann nicht gelesen werden: ",
                                         0),
              0u)
        << messages.messages[0];
    EXPECT_EQ(messages.messages[1], "Es konnten keine Referenzen gefunden werden.");
}

} // namespace
} // namespace ostrevan
