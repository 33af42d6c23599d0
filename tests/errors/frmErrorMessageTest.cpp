#include "errors/frmErrorMessage.h"

#include "errors/ErrorReportMail.h"
#include "platform/qt/Twips.h"
#include "tests/errors/FakeRegistryFunctions.h"
#include "tests/errors/ThrowingShell.h"
#include "tests/support/Fakes.h"
#include "tests/support/WidgetLookup.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <stdexcept>

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

using namespace fakes;

class ErrorDialog : public ::testing::Test {
protected:
    ~ErrorDialog() override {
        delete dialog.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    }

    void load(const Screen& onScreen, Shell& withShell) {
        dialog = new frmErrorMessage(
            ErrorDialogServices{messages, pointer, onScreen, withShell, registry, [this](int code) {
                                    exitCodes.push_back(code);
                                }});
    }
    void load() { load(screen, shell); }

    template <class Widget> Widget& child(const char* name) {
        return test::findControl<Widget>(*dialog, name);
    }
    std::string caption(const char* name) { return child<QLabel>(name).text().toStdString(); }
    void click(const char* name) { test::clickButton(*dialog, name); }
    void clickLink() { QTest::mouseClick(&child<QLabel>("lblURL"), Qt::LeftButton); }

    FakeMessageBox messages;
    FakeMousePointer pointer;
    FakeScreen screen{19200, 14400};
    FakeShell shell;
    FakeRegistryFunctions registry;
    std::vector<int> exitCodes;
    QPointer<frmErrorMessage> dialog;
};

TEST_F(ErrorDialog, ShowsItsInitialTexts) {
    load();
    EXPECT_EQ(dialog->windowTitle().toStdString(), "Fehlerbeschreibung ");
    EXPECT_EQ(caption("lbl_errSource"), "Modul");
    EXPECT_EQ(caption("lbl_errNumber"), "Err");
    EXPECT_EQ(caption("lbl_errDescription"), "Desc");
    EXPECT_EQ(caption("Label5"), "Fehlerberichtserstattung");
    EXPECT_EQ(caption("Label1"), "Sehr geehrte Kunden,");
    EXPECT_EQ(caption("Label2"),
              "wir entschuldigen uns vielmals für diesen im Programm vorgekommenen Fehler.");
    EXPECT_EQ(caption("Label4"),
              "Um diesen Fehler so schnell wie möglichst beheben zu können, möchten wir Sie "
              "bitten uns diese Fehlerbeschreibung zusenden.");
    EXPECT_EQ(caption("Label6"), "Vielen Dank für Ihre Mithilfe (E-Mail: support@tavrosk.example)");
    EXPECT_EQ(caption("lblURL"), "www.tavrosk.example");
    EXPECT_EQ(caption("Label3"), "Werkzeuge für Konstrukteure");
    EXPECT_EQ(child<QGroupBox>("Frame2").title().toStdString(), "Fehlermeldung");
    EXPECT_EQ(child<QPushButton>("btn_errorSend").text().toStdString(), "Senden");
    EXPECT_EQ(child<QPushButton>("btn_Command1").text().toStdString(), "Abbruch");
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ErrorDialog, ErrorFieldsShowTextAsItIs) {
    load();
    dialog->fields().lbl_errDescription.setCaption("<b>fett</b> & mehr");
    EXPECT_EQ(child<QLabel>("lbl_errDescription").textFormat(), Qt::PlainText);
    EXPECT_EQ(dialog->fields().lbl_errDescription.caption(), "<b>fett</b> & mehr");
}

struct PlacementRow {
    const char* name;
    const char* parent;
    double left, top, width, height;
};

TEST_F(ErrorDialog, ControlsLieWhereTheyAreDesigned) {
    load();
    const PlacementRow rows[] = {
        {"Picture1", "frmErrorMessage", 0, 0, 8655, 735},
        {"Label5", "Picture1", 240, 120, 3060, 345},
        {"Image1", "Picture1", 5280, 90, 630, 630},
        {"Frame3", "frmErrorMessage", 0, 720, 6720, 25},
        {"Label1", "frmErrorMessage", 120, 840, 5295, 225},
        {"Label2", "frmErrorMessage", 120, 1080, 5655, 345},
        {"Label4", "frmErrorMessage", 120, 1320, 6015, 585},
        {"Label6", "frmErrorMessage", 120, 1800, 5775, 315},
        {"Frame2", "frmErrorMessage", 120, 2160, 6000, 1215},
        {"lbl_errSource", "Frame2", 120, 240, 5775, 345},
        {"lbl_errNumber", "Frame2", 120, 600, 855, 345},
        {"lbl_errDescription", "Frame2", 1080, 600, 4815, 585},
        {"Frame1", "frmErrorMessage", -120, 3480, 6720, 25},
        {"lblURL", "frmErrorMessage", 120, 3600, 1575, 345},
        {"Label3", "frmErrorMessage", 120, 3840, 1575, 345},
        {"btn_errorSend", "frmErrorMessage", 4080, 3720, 1000, 350},
        {"btn_Command1", "frmErrorMessage", 5160, 3720, 1000, 350},
    };
    for (const auto& row : rows) {
        const QWidget& control = child<QWidget>(row.name);
        EXPECT_EQ(control.geometry(), twipsRect(row.left, row.top, row.width, row.height))
            << row.name;
        EXPECT_EQ(control.parentWidget()->objectName().toStdString(), row.parent) << row.name;
    }
    EXPECT_EQ(dialog->size(), QSize(toPixels(6240), toPixels(4140)));
    EXPECT_EQ(child<QLabel>("Image1").pixmap().size(), QSize(42, 42));
}

TEST_F(ErrorDialog, FontsAndTheLinkLook) {
    load();
    EXPECT_DOUBLE_EQ(child<QLabel>("Label5").font().pointSizeF(), 14.25);
    EXPECT_DOUBLE_EQ(child<QLabel>("Label3").font().pointSizeF(), 8.25);
    const QLabel& link = child<QLabel>("lblURL");
    EXPECT_DOUBLE_EQ(link.font().pointSizeF(), 8.25);
    EXPECT_TRUE(link.font().bold());
    EXPECT_TRUE(link.font().underline());
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(child<QWidget>("Picture1").palette().color(QPalette::Window),
              dialog->palette().color(QPalette::Base));
}

TEST_F(ErrorDialog, OneLineTextsFitTheirLabels) {
    load();
    for (const char* name : {"Label5", "Label1", "Label2", "Label6", "lblURL", "Label3"}) {
        const QLabel& one = child<QLabel>(name);
        EXPECT_FALSE(one.wordWrap()) << name;
        EXPECT_LE(one.fontMetrics().horizontalAdvance(one.text()), one.width()) << name;
    }
    EXPECT_TRUE(child<QLabel>("Label4").wordWrap()) << "laid out for two lines";
    EXPECT_TRUE(child<QLabel>("lbl_errDescription").wordWrap()) << "laid out for two lines";
}

TEST_F(ErrorDialog, IsAFixedToolWindowWithoutMinimiseOrMaximise) {
    load();
    const Qt::WindowFlags flags = dialog->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool) << "tool windows stay out of the task bar";
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
}

TEST_F(ErrorDialog, TabOrderStartsAtAbbruch) {
    load();
    dialog->show();
    QApplication::setActiveWindow(dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    EXPECT_EQ(QApplication::focusWidget(), &child<QPushButton>("btn_Command1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &child<QPushButton>("btn_errorSend"));
}

TEST_F(ErrorDialog, IsCentredByItsOuterSize) {
    load();
    // Outer 6330 x 4545 twips on 19200 x 14400: (12870 \ 2, 9855 \ 2).
    EXPECT_EQ(dialog->pos(), QPoint(toPixels(6435), toPixels(4927)));
}

TEST_F(ErrorDialog, OnANarrowScreenTheLeftEdgeIsNegative) {
    const FakeScreen narrow{3000, 14400};
    load(narrow, shell);
    // (3000 - 6330) \ 2 = -1665 twips.
    EXPECT_EQ(dialog->pos().x(), toPixels(-1665));
    EXPECT_LT(dialog->pos().x(), 0);
    dialog->show();
    EXPECT_LT(dialog->pos().x(), 0) << "placed there, partly off screen";
}

TEST_F(ErrorDialog, SendenHandsTheMailUrlToTheShell) {
    load();
    click("btn_errorSend");
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0],
              " " + mailUrl(mailSubject(""), mailBody({"", "Err", "Desc", "Modul"})));
    EXPECT_FALSE(dialog.isNull()) << "the dialog stays open";
}

TEST_F(ErrorDialog, SendenReportsWhatTheFieldsShowNow) {
    registry.addText("Software\\Tavrosk\\SolidEdge", "Version", "ST10");
    load();
    dialog->fields().lbl_errNumber.setCaption("13");
    dialog->fields().lbl_errDescription.setCaption("Typen unverträglich & so");
    dialog->fields().lbl_errSource.setCaption("cSysRegistry:GetRegistryValue");
    click("btn_errorSend");
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0],
              " " + mailUrl(mailSubject("ST10"), mailBody({"ST10", "13", "Typen unverträglich & so",
                                                           "cSysRegistry:GetRegistryValue"})));
    EXPECT_NE(shell.calls[0].find("13 Typen unverträglich %26 so"), std::string::npos);
}

TEST_F(ErrorDialog, WebLinkSetsAndRestoresThePointer) {
    load();
    clickLink();
    EXPECT_EQ(shell.calls, std::vector<std::string>{"Open http://www.tavrosk.example"});
    EXPECT_EQ(pointer.history, (std::vector<std::int16_t>{11, 0}));
}

TEST_F(ErrorDialog, WebLinkRestoresThePointerWhenTheShellFails) {
    ThrowingShell failing;
    load(screen, failing);
    clickLink();
    EXPECT_EQ(failing.calls.size(), 1u);
    EXPECT_EQ(pointer.history, (std::vector<std::int16_t>{11, 0}));
    EXPECT_TRUE(messages.messages.empty()) << "errors are absorbed";
    EXPECT_TRUE(exitCodes.empty());
    EXPECT_FALSE(dialog.isNull());
}

TEST_F(ErrorDialog, WebLinkIgnoresAPressDraggedOffTheLabel) {
    load();
    QLabel& link = child<QLabel>("lblURL");
    QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(link.width() + 20, 2));
    EXPECT_TRUE(shell.calls.empty());
}

TEST_F(ErrorDialog, AbbruchDestroysTheDialog) {
    load();
    dialog->show();
    click("btn_Command1");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_TRUE(shell.calls.empty()) << "nothing is sent";
}

TEST_F(ErrorDialog, EachOpeningStartsWithTheInitialTexts) {
    load();
    dialog->fields().lbl_errSource.setCaption("anders");
    click("btn_Command1");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(dialog.isNull());
    load();
    EXPECT_EQ(caption("lbl_errSource"), "Modul");
}

} // namespace
} // namespace ostrevan
