// What the main window shows of a scan that writes its status labels and rows tens of thousands
// of times: the writes reach the widgets together, and none is lost or shown late.

#include "app/frmMain.h"

#include "platform/Error.h"
#include "platform/qt/DeferredDisplay.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtListView.h"
#include "platform/qt/ResultListModel.h"
#include "scan/clsSettings.h"
#include "tests/scan/FakeFolderTree.h"
#include "tests/scan/FakeRevisionManager.h"
#include "tests/support/FakeWindowServices.h"
#include "tests/support/WidgetLookup.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTableView>

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

using namespace fakes;
using Strings = std::vector<std::string>;

std::string shown(const QLabel& label) {
    return label.text().toStdString();
}

// The two status labels and the result list of a window, with their adapters.
class DeferredWrites : public ::testing::Test {
protected:
    DeferredWrites() {
        view->setModel(&model);
        window.show();
    }

    std::string shownCell(int row, int column) const {
        return model.index(row, column).data().toString().toStdString();
    }

    QWidget window;
    QLabel* references = new QLabel(&window);
    QLabel* checkRef = new QLabel(&window);
    QTableView* view = new QTableView(&window);
    ResultListModel model;
    DeferredDisplay display{window};
    QtStatusLabel lbl_references{*references, display};
    QtStatusLabel lbl_CheckRef{*checkRef, display};
    QtListView list{model, display};
};

TEST_F(DeferredWrites, WaitUntilShownAndAreReadBackAsWritten) {
    lbl_references.setCaption("Untersuche: 0000001-0000002");
    const std::int32_t row = list.add("1");
    list.setText(row, 1, "/Daten/Geh\xE4use.par");
    EXPECT_EQ(shown(*references), "");
    EXPECT_EQ(lbl_references.caption(), "Untersuche: 0000001-0000002");
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.text(1, 1), "/Daten/Geh\xE4use.par");

    display.showNow();
    EXPECT_EQ(shown(*references), "Untersuche: 0000001-0000002");
    EXPECT_EQ(lbl_references.caption(), "Untersuche: 0000001-0000002");
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(shownCell(0, 0), "1");
    EXPECT_EQ(shownCell(0, 1), "/Daten/Gehäuse.par");
}

TEST_F(DeferredWrites, ARefreshShowsEveryStatusLabelButNotTheRows) {
    lbl_references.setCaption("Untersuche: 0000003-0000120");
    lbl_CheckRef.setCaption("Bearbeite: a.par");
    list.add("1");
    lbl_CheckRef.refresh();
    EXPECT_EQ(shown(*references), "Untersuche: 0000003-0000120");
    EXPECT_EQ(shown(*checkRef), "Bearbeite: a.par");
    EXPECT_EQ(model.rowCount(), 0) << "the list is not repainted while the logic works";
}

TEST_F(DeferredWrites, TheEventLoopShowsWhatIsPending) {
    lbl_CheckRef.setCaption("Bearbeite: a.par");
    list.add("1");
    QApplication::processEvents();
    EXPECT_EQ(shown(*checkRef), "Bearbeite: a.par");
    EXPECT_EQ(model.rowCount(), 1);

    lbl_CheckRef.setCaption({});
    QApplication::processEvents();
    EXPECT_EQ(shown(*checkRef), "");
}

TEST_F(DeferredWrites, RowsReachTheViewInOneInsertAndLaterChangesAtOnce) {
    QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
    for (int i = 1; i <= 1000; ++i) {
        const std::int32_t row = list.add(std::to_string(i));
        list.setText(row, 1, "/Daten/d" + std::to_string(i) + ".par");
        list.setText(row, 2, "/Lib/x.par");
    }
    display.showNow();
    EXPECT_EQ(inserts.count(), 1);
    ASSERT_EQ(model.rowCount(), 1000);
    EXPECT_EQ(shownCell(999, 0), "1000");
    EXPECT_EQ(shownCell(999, 1), "/Daten/d1000.par");
    EXPECT_EQ(shownCell(999, 2), "/Lib/x.par");

    list.setText(1000, 2, "/Lib/y.par");
    EXPECT_EQ(shownCell(999, 2), "/Lib/y.par");
    display.showNow();
    EXPECT_EQ(inserts.count(), 1) << "nothing new to insert";
}

TEST_F(DeferredWrites, ClearingDropsRowsNotYetShown) {
    list.add("1");
    display.showNow();
    list.add("2");
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(list.add("1"), 1);
    display.showNow();
    EXPECT_EQ(model.rowCount(), 1);
}

// A message box that, as a modal one does, runs the event loop while it is shown, and notes
// what the window shows behind it.
class ModalMessageBox final : public MessageBox {
public:
    struct Seen {
        std::string message;
        std::string references;
        std::string checkRef;
        int rows = 0;
    };

    void show(const std::string& text) override {
        QApplication::processEvents();
        seen.push_back({text, shown(test::findControl<QLabel>(*window, "lbl_references")),
                        shown(test::findControl<QLabel>(*window, "lbl_CheckRef")),
                        test::findControl<QTableView>(*window, "ListView1").model()->rowCount()});
    }

    const QWidget* window = nullptr;
    std::vector<Seen> seen;
};

// /Daten holds a.par and b.par and the folder Teile, whose files cannot be listed.
class ScanThroughTheWindow : public ::testing::Test, protected FakeWindowServices {
protected:
    ScanThroughTheWindow() {
        tree.addRoot("/Daten");
        tree.addFile("/Daten", "a.par");
        tree.addFile("/Daten", "b.par");
        tree.failFiles(tree.addFolder("/Daten", "Teile"), err::PermissionDenied);
        world.documents["/Daten/a.par"] = Strings{"/Lib/1.par", "/Lib/2.par"};
        world.documents["/Daten/b.par"] = Strings{"/Lib/3.par", "/Lib/4.par"};
        automation.registerServer("RevisionManager.Application", [this] {
            return std::make_unique<test::FakeRevisionManager>(world);
        });
        modal.window = window.get();
    }

    void scanFolder() {
        test::clickButton(*window, "btn_Weiter");
        folderChooser.choose("/Daten");
        test::clickButton(*window, "btn_Folder");
        test::clickButton(*window, "btn_Weiter");
        test::clickButton(*window, "btn_ReferenzView");
    }

    std::string shownLabel(const char* name) const {
        return shown(test::findControl<QLabel>(*window, name));
    }

    test::FakeFolderTree tree;
    test::RevisionManagerWorld world;
    ModalMessageBox modal;
    std::unique_ptr<frmMain> window = std::make_unique<frmMain>(
        MainWindowServices{modal, pointer, screen, automation, tree, shell, fileDialog,
                           folderChooser, "/opt/ostrevan", [](int) {
                           }});
};

TEST_F(ScanThroughTheWindow, AMessageDuringTheScanShowsTheWindowAsTheScanLeftIt) {
    world.openErrors["/Daten/b.par"] = 321;
    scanFolder();
    ASSERT_EQ(modal.seen.size(), 2u);
    EXPECT_EQ(modal.seen[0].message.rfind("GetAllFiles() ", 0), 0u);
    EXPECT_EQ(modal.seen[0].references, "/Daten") << "the folder last looked at";
    EXPECT_EQ(modal.seen[0].rows, 0);
    EXPECT_EQ(modal.seen[1].message.rfind("ReadReference() ", 0), 0u);
    EXPECT_EQ(modal.seen[1].references, "");
    EXPECT_EQ(modal.seen[1].checkRef, "");
    EXPECT_EQ(modal.seen[1].rows, 2) << "the rows of a.par";
}

TEST_F(ScanThroughTheWindow, AScanThatAnErrorEndsLeavesItsLastProgressShown) {
    world.fullNameErrors["/Lib/4.par"] = err::TypeMismatch;
    scanFolder();
    EXPECT_EQ(shownLabel("lbl_references"), "Untersuche: 0000002-0000002");
    EXPECT_EQ(shownLabel("lbl_CheckRef"), "Bearbeite: 3.par");
    EXPECT_EQ(test::findControl<QTableView>(*window, "ListView1").model()->rowCount(), 3);
}

TEST_F(ScanThroughTheWindow, AScanThatEndsWellClearsItsProgressAndShowsEveryRow) {
    scanFolder();
    EXPECT_EQ(shownLabel("lbl_references"), "");
    EXPECT_EQ(shownLabel("lbl_CheckRef"), "");
    const QAbstractItemModel& rows = *test::findControl<QTableView>(*window, "ListView1").model();
    ASSERT_EQ(rows.rowCount(), 4);
    EXPECT_EQ(rows.index(3, 0).data().toString().toStdString(), "4");
    EXPECT_EQ(rows.index(3, 1).data().toString().toStdString(), "/Daten/b.par");
    EXPECT_EQ(rows.index(3, 2).data().toString().toStdString(), "/Lib/4.par");
}

} // namespace
} // namespace ostrevan
