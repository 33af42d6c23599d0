#include "platform/qt/QtFileDialog.h"
#include "platform/qt/QtFolderChooser.h"

#include "platform/Error.h"
#include "tests/support/TempFolder.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace ostrevan::test {
namespace {

// Runs act on the file dialog once it is open and modal; the test goes on after it closes.
// A dialog that does not come up within five seconds, or stays open, fails the test without
// hanging it.
void whenDialogOpens(std::function<void(QFileDialog&)> act) {
    auto* poll = new QTimer(qApp);
    auto triesLeft = std::make_shared<int>(500);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, triesLeft, act = std::move(act)] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        const bool open = dialog != nullptr && dialog->isVisible();
        if (!open && --*triesLeft > 0) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        if (!open) {
            ADD_FAILURE() << "no file dialog came up";
            return;
        }
        act(*dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the dialog stayed open";
            dialog->reject();
        }
    });
    poll->start(10);
}

class QtDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        owner.resize(400, 300);
        owner.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    }
    void TearDown() override { EXPECT_EQ(QApplication::activeModalWidget(), nullptr); }

    QWidget owner;
    TempFolder temp;
};

const OpenFileRequest kRequest{"SolidEdge Dokument wählen", 2103302,
                               "SolidEdge Dokumente|*.par;*.psm|Alle Dateien|*", true};

TEST(NameFilters, TurnTheCommonDialogsFilterIntoQts) {
    EXPECT_EQ(nameFilters("SolidEdge Dokumente|*.par;*.psm;*.asm|Alle Dateien|*"),
              (QStringList{QStringLiteral("SolidEdge Dokumente (*.par *.psm *.asm)"),
                           QStringLiteral("Alle Dateien (*)")}));
    EXPECT_EQ(nameFilters("Texte|*.txt|ohne Muster"), QStringList{QStringLiteral("Texte (*.txt)")});
    EXPECT_EQ(nameFilters(""), QStringList{});
}

TEST_F(QtDialogs, TheFileDialogIsModalOverItsOwnerAndReturnsTheChosenFile) {
    const std::string chosen = temp.file("Größe Ä/Bär Teil.par");
    temp.file("Größe Ä/Notiz.txt");
    QtFileDialog dialog;
    dialog.setOwner(&owner);
    whenDialogOpens([&](QFileDialog& shown) {
        EXPECT_EQ(shown.windowTitle().toStdString(), "SolidEdge Dokument wählen");
        EXPECT_EQ(shown.parentWidget(), &owner);
        EXPECT_NE(shown.windowModality(), Qt::NonModal);
        EXPECT_EQ(shown.fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(shown.acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(shown.nameFilters(),
                  (QStringList{QStringLiteral("SolidEdge Dokumente (*.par *.psm)"),
                               QStringLiteral("Alle Dateien (*)")}));
        EXPECT_EQ(shown.directory().absolutePath(), QDir::homePath()) << "at first";
        // Typed as a user would: the dialog's own listing loads in the background.
        auto* name = shown.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(chosen));
        static_cast<QDialog&>(shown).accept();
    });
    EXPECT_EQ(dialog.ShowOpen(kRequest), chosen);

    whenDialogOpens([&](QFileDialog& shown) {
        EXPECT_EQ(shown.directory().absolutePath().toStdString(), temp.at("Größe Ä"))
            << "where the last file was";
        shown.reject();
    });
    try {
        dialog.ShowOpen(kRequest);
        ADD_FAILURE() << "cancelling raised nothing";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), err::Cancelled);
    }

    OpenFileRequest quiet = kRequest;
    quiet.cancelError = false;
    whenDialogOpens([](QFileDialog& shown) { shown.reject(); });
    EXPECT_EQ(dialog.ShowOpen(quiet), "");
}

TEST_F(QtDialogs, TheFolderChooserIsModalOverItsOwnerAndStartsAtTheTop) {
    const std::string folder = temp.folder("Zeichnungen ß/.Archiv 100%");
    QtFolderChooser chooser;
    chooser.setOwner(&owner);
    const std::optional<FolderItem> root = chooser.SpecialFolderLocation(0);
    ASSERT_TRUE(root.has_value());

    whenDialogOpens([&](QFileDialog& shown) {
        EXPECT_EQ(shown.windowTitle().toStdString(), "Bitte Verzeichnis wählen");
        EXPECT_EQ(shown.parentWidget(), &owner);
        EXPECT_NE(shown.windowModality(), Qt::NonModal);
        EXPECT_EQ(shown.fileMode(), QFileDialog::Directory);
        EXPECT_EQ(shown.directory().absolutePath(), QStringLiteral("/"));
        shown.setDirectory(QString::fromStdString(folder));
        static_cast<QDialog&>(shown).accept();
    });
    const std::optional<FolderItem> chosen =
        chooser.BrowseForFolder(BrowseInfo{"Bitte Verzeichnis wählen", root});
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chooser.GetPathFromIDList(*chosen), folder);

    whenDialogOpens([](QFileDialog& shown) { shown.reject(); });
    EXPECT_FALSE(chooser.BrowseForFolder(BrowseInfo{"Bitte Verzeichnis wählen", root}));
}

TEST(QtFolderChooser, PlacesAreFileUrlsAndOnlyTheDesktopIsKnown) {
    const QtFolderChooser chooser;
    const std::optional<FolderItem> desktop = chooser.SpecialFolderLocation(0);
    ASSERT_TRUE(desktop.has_value());
    EXPECT_EQ(chooser.GetPathFromIDList(*desktop), "/");
    EXPECT_FALSE(chooser.SpecialFolderLocation(5).has_value());
    EXPECT_FALSE(chooser.SpecialFolderLocation(16).has_value());
    EXPECT_EQ(chooser.GetPathFromIDList(FolderItem{"file:///tmp/Gr%C3%B6%C3%9Fe%20%25"}),
              "/tmp/Größe %");
    EXPECT_EQ(chooser.GetPathFromIDList(FolderItem{"smb://server/teile"}), "");
    EXPECT_EQ(chooser.GetPathFromIDList(FolderItem{"computer:///"}), "");
    EXPECT_EQ(chooser.GetPathFromIDList(FolderItem{""}), "");
}

} // namespace
} // namespace ostrevan::test
