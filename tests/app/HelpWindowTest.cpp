#include "app/frmHelp.h"

#include "app/frmMain.h"
#include "platform/qt/Twips.h"
#include "tests/support/FakeWindowServices.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace ostrevan {
namespace {

using namespace fakes;

QStringList lines(const QDialog& dialog) {
    QStringList shown;
    const auto* list = dialog.findChild<QListWidget*>(QStringLiteral("List1"));
    for (int i = 0; list != nullptr && i < list->count(); ++i) {
        shown << list->item(i)->text();
    }
    return shown;
}

const QStringList kLines{
    QStringLiteral("www.tavrosk.example"), QStringLiteral("Zelvarin V1.0 (Beta Version)"),
    QString(), QStringLiteral("Dies ist eine Beta-Version und nicht unbedingt fehlerfrei.")};

TEST(HelpWindow, HasItsTitleSizeAndControls) {
    const FakeScreen screen(19200, 14400);
    const frmHelp help(screen);
    EXPECT_EQ(help.windowTitle(), QStringLiteral("Form1"));
    EXPECT_EQ(help.size(), QSize(toPixels(5745), toPixels(3405)));
    EXPECT_EQ(help.minimumSize(), help.maximumSize()) << "fixed border";
    EXPECT_FALSE(help.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(help.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(help.parentWidget(), nullptr) << "no owner";
    EXPECT_EQ(help.windowModality(), Qt::ApplicationModal);

    const auto* list = help.findChild<QListWidget*>(QStringLiteral("List1"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->geometry(), twipsRect(120, 120, 5535, 2790));
    EXPECT_FALSE(list->isSortingEnabled());
    const auto* close = help.findChild<QPushButton*>(QStringLiteral("btn_Abbruch"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), QStringLiteral("Schliessen"));
    EXPECT_EQ(close->geometry(), twipsRect(4680, 3000, 1000, 350));
    EXPECT_EQ(close->nextInFocusChain(), list) << "the list comes second";
    EXPECT_EQ(lines(help), kLines);
}

TEST(HelpWindow, IsCentredByItsOuterSize) {
    struct Case {
        double width, height;
        int left, top;
    };
    // Outer 5835 x 3810 twips; an odd difference is cut toward zero, a negative one too.
    const Case cases[] = {{19200, 14400, 6682, 5295}, {5835, 3810, 0, 0}, {5000, 3000, -417, -405}};
    for (const Case& row : cases) {
        const FakeScreen screen(row.width, row.height);
        const frmHelp help(screen);
        EXPECT_EQ(help.pos(), QPoint(toPixels(row.left), toPixels(row.top)))
            << row.width << " x " << row.height;
    }
}

TEST(HelpWindow, OpensWithTheFocusOnSchliessenWhichClosesIt) {
    const FakeScreen screen(19200, 14400);
    frmHelp help(screen);
    help.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&help));
    EXPECT_EQ(help.pos(), QPoint(toPixels(6682), toPixels(5295))) << "showing keeps it centred";
    auto* close = help.findChild<QPushButton*>(QStringLiteral("btn_Abbruch"));
    EXPECT_EQ(QApplication::focusWidget(), close);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(help.isVisible());
}

class HelpButton : public ::testing::Test {
protected:
    // Clicks "&Hilfe"; once the help window is up, inspect sees it and "Schliessen" closes
    // it. Returns whether a help window came up.
    bool showHelp(const std::function<void(QDialog&)>& inspect) {
        bool seen = false;
        std::function<void(int)> poll = [&](int triesLeft) {
            auto* help = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (help == nullptr || !help->isVisible()) {
                if (triesLeft > 0) {
                    QTimer::singleShot(10, [&poll, triesLeft] { poll(triesLeft - 1); });
                }
                return;
            }
            seen = true;
            inspect(*help);
            if (auto* close = help->findChild<QPushButton*>(QStringLiteral("btn_Abbruch"))) {
                QTest::mouseClick(close, Qt::LeftButton);
            }
            help->reject(); // in case the button did not close it: never hang the test
        };
        QTimer::singleShot(0, [&poll] { poll(300); });
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("btn_Help")),
                          Qt::LeftButton);
        return seen;
    }
    bool helpWindowLeft() const {
        for (const QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QStringLiteral("frmHelp")) {
                return true;
            }
        }
        return false;
    }

    FakeWindowServices outside;
    UnusedFileSystem fileSystem;
    std::unique_ptr<frmMain> window =
        std::make_unique<frmMain>(outside.services(fileSystem, "/opt/ostrevan"));
};

TEST_F(HelpButton, ShowsFourLinesEachTime) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    for (int showing = 1; showing <= 2; ++showing) {
        QStringList shown;
        bool modalWithoutOwner = false;
        ASSERT_TRUE(showHelp([&](QDialog& help) {
            shown = lines(help);
            modalWithoutOwner = help.isModal() && help.parentWidget() == nullptr;
        })) << "showing "
            << showing;
        EXPECT_EQ(shown, kLines) << "showing " << showing;
        EXPECT_TRUE(modalWithoutOwner);
        EXPECT_FALSE(helpWindowLeft()) << "unloaded on closing";
    }
    EXPECT_TRUE(outside.messages.messages.empty());
    EXPECT_TRUE(outside.exitCodes.empty());
}

TEST_F(HelpButton, ClosingItLeavesTheComboTextUnhighlighted) {
    auto* combo = window->findChild<QComboBox*>(QStringLiteral("com_RefType"));
    ASSERT_NE(combo, nullptr);
    combo->lineEdit()->selectAll();
    ASSERT_TRUE(combo->lineEdit()->hasSelectedText());
    ASSERT_TRUE(showHelp([](QDialog&) {}));
    EXPECT_FALSE(combo->lineEdit()->hasSelectedText());
    EXPECT_EQ(combo->currentText().toStdString(),
              "0 - Referenzen ausserhalb des gwählten Verzeichnis anzeigen");
}

} // namespace
} // namespace ostrevan
