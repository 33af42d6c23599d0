// Ostrevan: starting the program loads the main window; closing it ends the program.

#include "app/ProgramEnd.h"
#include "app/frmMain.h"
#include "platform/Automation.h"
#include "platform/SystemServices.h"
#include "platform/ole/LinkReaderServers.h"
#include "platform/qt/DesignLayout.h"
#include "platform/qt/QtFileDialog.h"
#include "platform/qt/QtFolderChooser.h"
#include "platform/qt/QtServices.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv) {
    using namespace ostrevan;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ostrevan"));
    addDesignFonts();
    // The program speaks German, so Qt's own dialogs do too, whatever the desktop's language.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTexts);
    }

    const SystemServices system = systemServices();
    Automation automation;
    registerLinkReaderServers(automation);

    QtMessageBox messageBox;
    QtMousePointer mousePointer;
    const QtScreen screen;
    QtShell desktopShell;
    Shell& shell = system.shell ? *system.shell : desktopShell;
    QtFileDialog fileDialog;
    QtFolderChooser folderChooser;

    ProgramEnd programEnd;
    frmMain window(MainWindowServices{messageBox, mousePointer, screen, automation,
                                      *system.fileSystem, shell, fileDialog, folderChooser,
                                      QCoreApplication::applicationDirPath().toStdString(),
                                      [&programEnd](int code) {
                                          programEnd.end(code);
                                      }});
    if (const std::optional<int> code = programEnd.endedBeforeLoop()) {
        return *code;
    }
    fileDialog.setOwner(&window);
    folderChooser.setOwner(&window);
    window.show();
    return QApplication::exec();
}
