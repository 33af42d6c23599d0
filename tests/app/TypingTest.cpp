#include "tests/app/SelectionWindow.h"

#include "scan/clsSettings.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QStackedWidget>
#include <QTest>

namespace ostrevan::test {
namespace {

// Typing, pasting, cutting, dropping and the fields' menus change neither field; the two
// buttons are the only way in.
class Typing : public SelectionWindow {
protected:
    void SetUp() override {
        toSelectionPage();
        chooseDocument(temp.file("Bär Teil.par"));
        ASSERT_EQ(documentField(), temp.at("Bär Teil.par"));
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QGuiApplication::clipboard()->setText(QStringLiteral("/eingefügt.par"));
    }
    QLineEdit& field() { return child<QLineEdit>("txt_SEDokument"); }
    QComboBox& combo() { return child<QComboBox>("com_RefType"); }

    // Everything a user can do at the keyboard to edit text, sent to target.
    static void typeAtEveryKey(QWidget& target) {
        target.setFocus();
        QTest::keyClicks(&target, QStringLiteral("abc 1ß2"));
        QTest::keyClick(&target, Qt::Key_End);
        QTest::keyClick(&target, Qt::Key_Backspace);
        QTest::keyClick(&target, Qt::Key_Home);
        QTest::keyClick(&target, Qt::Key_Delete);
        QTest::keyClick(&target, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(&target, Qt::Key_Insert, Qt::ShiftModifier);
        QTest::keyClick(&target, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&target, Qt::Key_X, Qt::ControlModifier);
        QTest::keyClick(&target, Qt::Key_Delete, Qt::ShiftModifier);
        QTest::keyClick(&target, Qt::Key_Backspace, Qt::ControlModifier);
        QTest::keyClick(&target, Qt::Key_K, Qt::ControlModifier);
        QTest::keyClick(&target, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&target, Qt::Key_Return);
    }

    static void dropText(QWidget& target) {
        QMimeData data;
        data.setText(QStringLiteral("/gezogen.par"));
        const QPoint at(10, target.height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&target, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&target, &move);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&target, &drop);
        EXPECT_FALSE(drop.isAccepted());
    }

    // The entries of a line edit's own menu that would change its text (the tests load no
    // translation, so Qt's menu is in English).
    static std::vector<std::string> editEntries(QLineEdit& edit) {
        const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        std::vector<std::string> found;
        for (const QAction* action : menu->actions()) {
            const QString name =
                action->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
            for (const char* edit : {"Undo", "Redo", "Cut", "Paste", "Delete"}) {
                if (name == QLatin1String(edit)) {
                    found.push_back(name.toStdString());
                }
            }
        }
        return found;
    }
};

TEST_F(Typing, NothingTypedReachesTheDocumentField) {
    typeAtEveryKey(field());
    EXPECT_EQ(documentField(), temp.at("Bär Teil.par"));
    field().setFocus();
    QTest::mouseClick(&field(), Qt::MiddleButton);
    dropText(field());
    EXPECT_EQ(documentField(), temp.at("Bär Teil.par"));
    EXPECT_EQ(window->Settings().Dokumentyp(), 0);
}

TEST_F(Typing, NothingTypedReachesTheComboBoxsEditPart) {
    const std::string before = comboText();
    typeAtEveryKey(combo());
    typeAtEveryKey(*combo().lineEdit());
    dropText(*combo().lineEdit());
    EXPECT_EQ(comboText(), before);
    EXPECT_EQ(combo().currentIndex(), -1);
    EXPECT_EQ(window->Settings().ReferenzTyp(), -1);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(Typing, TheFieldsMenusOfferNoEdits) {
    QLineEdit editable;
    ASSERT_EQ(editEntries(editable).size(), 5U) << "an editable field offers them";
    EXPECT_EQ(editEntries(field()), std::vector<std::string>{});
    EXPECT_EQ(editEntries(*combo().lineEdit()), std::vector<std::string>{});
}

TEST_F(Typing, CopyingStillWorks) {
    field().setFocus();
    QTest::keyClick(&field(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&field(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), temp.at("Bär Teil.par"));
}

TEST_F(Typing, TabAndAccessKeysStillWork) {
    field().setFocus();
    QTest::keyClick(&field(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &child<QWidget>("btn_File"));

    field().setFocus();
    // An access key clicks its button after the button's short pressed look.
    const auto onPage = [this](int page) {
        return QTest::qWaitFor(
            [&] { return child<QStackedWidget>("SSTab1").currentIndex() == page; });
    };
    QTest::keyClick(&field(), Qt::Key_W, Qt::AltModifier);
    EXPECT_TRUE(onPage(2)) << "Alt+W is \"&Weiter >\"";
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::AltModifier);
    EXPECT_TRUE(onPage(1)) << "Alt+Z is \"< &Zurück\"";

    combo().setFocus();
    QTest::keyClick(&combo(), Qt::Key_Down);
    EXPECT_EQ(combo().currentIndex(), 0) << "the arrow keys still pick entries";
    EXPECT_EQ(window->Settings().ReferenzTyp(), 0);
    QTest::keyClick(&combo(), Qt::Key_Down);
    EXPECT_EQ(comboText(), "1 - Alle Referenzen anzeigen");
    EXPECT_EQ(window->Settings().ReferenzTyp(), 1);
}

} // namespace
} // namespace ostrevan::test
