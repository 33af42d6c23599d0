#include "app/frmMain.h"

#include "platform/qt/Twips.h"
#include "scan/clsSettings.h"
#include "scan/modGlobal.h"
#include "tests/support/FakeWindowServices.h"
#include "tests/support/WidgetLookup.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

using namespace fakes;

class MainWindow : public ::testing::Test, protected FakeWindowServices {
protected:
    template <class Widget> Widget& child(const char* name) {
        return test::findControl<Widget>(*window, name);
    }
    void click(const char* name) { test::clickButton(*window, name); }
    int page() { return child<QStackedWidget>("SSTab1").currentIndex(); }
    bool enabled(const char* name) { return child<QWidget>(name).isEnabled(); }

    UnusedFileSystem fileSystem;
    std::unique_ptr<frmMain> window =
        std::make_unique<frmMain>(services(fileSystem, "/opt/ostrevan"));
};

TEST_F(MainWindow, StartsOnTheWelcomePage) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Zelvarin (Beta Version)"));
    EXPECT_EQ(page(), 0);
    EXPECT_FALSE(enabled("btn_zurueck"));
    EXPECT_TRUE(enabled("btn_Weiter"));
    EXPECT_TRUE(enabled("btn_Help"));
    EXPECT_TRUE(enabled("btn_Abbruch"));
    EXPECT_FALSE(enabled("btn_export"));
    EXPECT_TRUE(child<QCheckBox>("chk_FolderRekursiv").isChecked());
    EXPECT_FALSE(enabled("chk_FolderRekursiv"));
    const auto& combo = child<QComboBox>("com_RefType");
    EXPECT_EQ(combo.currentText().toStdString(),
              "0 - Referenzen ausserhalb des gwählten Verzeichnis anzeigen");
    EXPECT_EQ(combo.currentIndex(), -1);
    ASSERT_EQ(combo.count(), 2);
    EXPECT_EQ(combo.itemText(0).toStdString(),
              "0 - Referenzen ausserhalb des gewählten Verzeichnis anzeigen");
    EXPECT_EQ(combo.itemText(1).toStdString(), "1 - Alle Referenzen anzeigen");
    EXPECT_TRUE(child<QLineEdit>("txt_SEDokument").text().isEmpty());
    EXPECT_TRUE(child<QLabel>("lbl_references").text().isEmpty());
    EXPECT_TRUE(child<QLabel>("lbl_CheckRef").text().isEmpty());
    EXPECT_EQ(window->Settings().Dokumentyp(), -1);
}

TEST_F(MainWindow, IsCentredForItsDesignHeightAndThenShortened) {
    // Outer 10740 x 7440 twips on 19200 x 14400: left 4230, top 3480.
    EXPECT_EQ(window->pos(), QPoint(toPixels(4230), toPixels(3480)));
    EXPECT_EQ(window->width(), toPixels(10650));
    EXPECT_EQ(window->height(), toPixels(6360 - 405));
    const QPushButton& lastButton = child<QPushButton>("btn_Abbruch");
    EXPECT_GE(window->height(), lastButton.geometry().bottom());
}

TEST_F(MainWindow, HasAFixedBorderWithoutMinimiseOrMaximise) {
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const Qt::WindowFlags flags = window->windowFlags();
    // Without the customize hint Qt gives an X11 window both buttons whatever else is asked.
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
}

TEST_F(MainWindow, NavigatesAsTheButtonTableSays) {
    click("btn_Weiter");
    EXPECT_EQ(page(), 1);
    EXPECT_TRUE(enabled("btn_zurueck"));
    EXPECT_FALSE(enabled("btn_Weiter")) << "nothing chosen yet";

    window->Settings().setDokumentyp(0);
    EXPECT_TRUE(enabled("btn_Weiter")) << "a choice enables it at once";
    EXPECT_EQ(page(), 1);

    click("btn_Weiter");
    EXPECT_EQ(page(), 2);
    EXPECT_FALSE(enabled("btn_Weiter"));
    EXPECT_TRUE(enabled("btn_zurueck"));

    click("btn_zurueck");
    EXPECT_EQ(page(), 1);
    EXPECT_TRUE(enabled("btn_Weiter"));
    EXPECT_TRUE(enabled("btn_zurueck"));

    click("btn_zurueck");
    EXPECT_EQ(page(), 0);
    EXPECT_FALSE(enabled("btn_zurueck"));
    EXPECT_TRUE(enabled("btn_Weiter"));

    click("btn_Weiter");
    EXPECT_EQ(page(), 1);
    EXPECT_TRUE(enabled("btn_Weiter")) << "a choice is never withdrawn";
}

TEST_F(MainWindow, DokumentypSwitchesWeiterAndTheCheckBox) {
    const std::pair<std::int32_t, bool> rows[] = {{0, false}, {1, true}, {-1, false}, {5, false}};
    click("btn_Weiter");
    for (const auto& [value, checkBox] : rows) {
        child<QPushButton>("btn_Weiter").setEnabled(false);
        window->Settings().setDokumentyp(value);
        EXPECT_TRUE(enabled("btn_Weiter")) << value;
        EXPECT_EQ(enabled("chk_FolderRekursiv"), checkBox) << value;
    }
}

TEST_F(MainWindow, ResultListHasItsThreeColumns) {
    const auto& list = child<QTableView>("ListView1");
    const QAbstractItemModel& model = *list.model();
    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Anzahl"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Dokument"));
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Referenz"));
    EXPECT_EQ(list.horizontalHeader()->defaultAlignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignLeft);
    EXPECT_EQ(list.columnWidth(0), toPixels(700));
    EXPECT_EQ(list.columnWidth(1), toPixels(4700));
    EXPECT_EQ(list.columnWidth(2), toPixels(4700));
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_TRUE(list.showGrid());
}

// Adds the rows it is told to through the window's own controls.
class FormProcedures final : public ScanProcedures {
public:
    FormProcedures(frmMain& window, int rows) : m_window(window), m_rows(rows) {}
    void GetFileReferenz() override {
        ListView& list = m_window.form().ListView1;
        for (int i = 1; i <= m_rows; ++i) {
            const std::int32_t row = list.add(std::to_string(i));
            list.setText(row, 1, "/daten/a.par");
            list.setText(row, 2, "/lib/ü" + std::to_string(i) + ".par");
        }
    }
    void RekursivFolder(std::string&, DocumentFileList&, std::int32_t&) override {}
    void ReadReference(std::string&, DocumentFileList&, std::int32_t&) override {}

private:
    frmMain& m_window;
    int m_rows;
};

TEST_F(MainWindow, AnzeigenFillsTheListAndEnablesExport) {
    window->setScanProcedures(std::make_unique<FormProcedures>(*window, 2));
    click("btn_ReferenzView");
    const QAbstractItemModel& model = *child<QTableView>("ListView1").model();
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.index(1, 0).data().toString(), QStringLiteral("2"));
    EXPECT_EQ(model.index(1, 2).data().toString().toStdString(), "/lib/ü2.par");
    EXPECT_TRUE(enabled("btn_export"));
    EXPECT_EQ(pointer.history, (std::vector<std::int16_t>{11, 0}));

    window->setScanProcedures(std::make_unique<FormProcedures>(*window, 0));
    click("btn_ReferenzView");
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(enabled("btn_export"));
    EXPECT_EQ(messages.messages,
              (std::vector<std::string>{"Es konnten keine Referenzen gefunden werden."}));
}

TEST_F(MainWindow, WithoutTheComponentTheScanReports429) {
    child<QLineEdit>("txt_SEDokument").setText(QStringLiteral("/daten/a.par"));
    click("btn_ReferenzView");
    EXPECT_EQ(messages.messages,
              (std::vector<std::string>{
                  "GetFileReferenz() Objekterstellung durch ActiveX-Komponente nicht möglich 429",
                  "Es konnten keine Referenzen gefunden werden."}));
    EXPECT_TRUE(exitCodes.empty());
}

TEST_F(MainWindow, AnUntrappedErrorShowsTheStandardMessageAndEndsTheProgram) {
    class Failing final : public ScanProcedures {
        void GetFileReferenz() override { raise(err::TypeMismatch); }
        void RekursivFolder(std::string&, DocumentFileList&, std::int32_t&) override {}
        void ReadReference(std::string&, DocumentFileList&, std::int32_t&) override {}
    };
    window->setScanProcedures(std::make_unique<Failing>());
    click("btn_ReferenzView");
    EXPECT_EQ(messages.messages,
              (std::vector<std::string>{"Laufzeitfehler '13':\n\nTypen unverträglich"}));
    EXPECT_EQ(exitCodes, (std::vector<int>{1}));
    EXPECT_EQ(pointer.pointer(), MousePointer::Default);
}

TEST_F(MainWindow, ActivationRemovesTheComboHighlight) {
    auto& combo = child<QComboBox>("com_RefType");
    combo.lineEdit()->selectAll();
    ASSERT_TRUE(combo.lineEdit()->hasSelectedText());
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_FALSE(combo.lineEdit()->hasSelectedText());

    // A modal window closing hands activation back.
    QWidget modal(nullptr, Qt::Dialog);
    modal.setWindowModality(Qt::ApplicationModal);
    modal.show();
    modal.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&modal));
    combo.lineEdit()->selectAll();
    modal.close();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_FALSE(combo.lineEdit()->hasSelectedText());
}

TEST_F(MainWindow, AbbruchClosesTheWindow) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    click("btn_Abbruch");
    EXPECT_FALSE(window->isVisible());
}

} // namespace
} // namespace ostrevan
