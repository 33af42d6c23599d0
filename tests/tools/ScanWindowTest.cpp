// The command and the window on the same trees: the same rows and the same report bytes.

#include "app/frmMain.h"
#include "platform/ole/LinkReaderServers.h"
#include "scan/clsSettings.h"
#include "tests/support/FakeWindowServices.h"
#include "tests/support/WidgetLookup.h"
#include "tests/tools/ScanTree.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QTableView>

#include <gtest/gtest.h>

#include <filesystem>

namespace ostrevan {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

struct Choice {
    bool recursive;
    bool all;
};

struct Scanned {
    Rows rows;
    std::string report;
};

class CommandAndWindow : public ::testing::Test, protected fakes::FakeWindowServices {
protected:
    CommandAndWindow() {
        registerLinkReaderServers(automation, tree.config, [](const std::string&) {});
    }

    Scanned windowFolderScan(const std::string& folder, Choice choice) {
        test::clickButton(*window, "btn_Weiter");
        folderChooser.choose(folder);
        test::clickButton(*window, "btn_Folder");
        auto& recursion = test::findControl<QCheckBox>(*window, "chk_FolderRekursiv");
        if (recursion.isChecked() != choice.recursive) {
            QTest::mouseClick(&recursion, Qt::LeftButton);
        }
        return windowScan(choice);
    }

    Scanned windowDocumentScan(const std::string& document, Choice choice) {
        test::clickButton(*window, "btn_Weiter");
        fileDialog.chosen = document;
        test::clickButton(*window, "btn_File");
        return windowScan(choice);
    }

    Scanned commandScan(const std::string& path, Choice choice) const {
        std::vector<std::string> options;
        if (choice.recursive) {
            options.push_back("-r");
        }
        if (choice.all) {
            options.push_back("--all");
        }
        options.push_back(path);
        const test::CommandRun report = tree.run(options);
        options.insert(options.begin(), {"--format", "json"});
        const test::CommandRun json = tree.run(options);
        EXPECT_EQ(report.status, json.status);
        Rows rows;
        for (const auto& row : test::jsonRows(json.out)) {
            rows.push_back({row[0], row[1], row[2]});
        }
        return {rows, report.out};
    }

    test::ScanTree tree;
    std::unique_ptr<frmMain> window =
        std::make_unique<frmMain>(services(tree.fileSystem, tree.temp.folder("Programm")));

private:
    Scanned windowScan(Choice choice) {
        auto& types = test::findControl<QComboBox>(*window, "com_RefType");
        const int type = choice.all ? 1 : 0;
        types.setCurrentIndex(type);
        Q_EMIT types.activated(type);
        EXPECT_EQ(window->Settings().ReferenzTyp(), type);
        test::clickButton(*window, "btn_Weiter");
        test::clickButton(*window, "btn_ReferenzView");
        const QAbstractItemModel& model =
            *test::findControl<QTableView>(*window, "ListView1").model();
        Scanned scanned;
        for (int row = 0; row < model.rowCount(); ++row) {
            std::vector<std::string> cells;
            for (int column = 0; column < 3; ++column) {
                cells.push_back(model.index(row, column).data().toString().toStdString());
            }
            scanned.rows.push_back(cells);
        }
        if (!scanned.rows.empty()) {
            test::clickButton(*window, "btn_export");
            scanned.report = test::readBytes(tree.at("Programm/QZVExportRef.txt"));
        }
        return scanned;
    }
};

class CommandAndWindowChoices : public CommandAndWindow,
                                public ::testing::WithParamInterface<Choice> {};

TEST_P(CommandAndWindowChoices, AFolderGivesTheSameRowsAndReport) {
    const Scanned shown = windowFolderScan(tree.project, GetParam());
    const Scanned listed = commandScan(tree.project, GetParam());
    ASSERT_FALSE(shown.rows.empty());
    EXPECT_EQ(listed.rows, shown.rows);
    EXPECT_EQ(listed.report, shown.report);
}

TEST_P(CommandAndWindowChoices, ADocumentGivesTheSameRowsAndReport) {
    const std::string assembly = tree.at("Projekt Ä/Baugruppe.asm");
    const Scanned shown = windowDocumentScan(assembly, GetParam());
    const Scanned listed = commandScan(assembly, GetParam());
    ASSERT_FALSE(shown.rows.empty());
    EXPECT_EQ(listed.rows, shown.rows);
    EXPECT_EQ(listed.report, shown.report);
}

INSTANTIATE_TEST_SUITE_P(Choices, CommandAndWindowChoices,
                         ::testing::Values(Choice{false, false}, Choice{true, false},
                                           Choice{false, true}, Choice{true, true}),
                         [](const auto& info) {
                             return std::string(info.param.recursive ? "Recursive" : "Flat") +
                                    (info.param.all ? "All" : "Outside");
                         });

// Real Solid Edge folders, copied into a temporary folder as a tree.
TEST_F(CommandAndWindow, RealFoldersGiveTheSameRowsAndReport) {
    const fs::path real = fs::path(OSTREVAN_REAL_DOCUMENTS);
    if (!fs::is_directory(real)) {
        GTEST_SKIP() << "skipped: no real documents at " << real.string();
    }
    const std::string copy = tree.temp.folder("Echt");
    fs::copy(real, copy, fs::copy_options::recursive);
    for (const bool all : {false, true}) {
        window = std::make_unique<frmMain>(services(tree.fileSystem, tree.at("Programm")));
        const Scanned shown = windowFolderScan(copy, {true, all});
        const Scanned listed = commandScan(copy, {true, all});
        EXPECT_EQ(listed.rows, shown.rows) << (all ? "all" : "outside");
        EXPECT_EQ(listed.report, shown.report) << (all ? "all" : "outside");
        if (all) {
            EXPECT_FALSE(shown.rows.empty()) << "the real documents hold links";
        }
    }
}

} // namespace
} // namespace ostrevan
