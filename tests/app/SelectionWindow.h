#pragma once

#include "app/frmMain.h"
#include "platform/Automation.h"
#include "platform/posix/PosixFileSystem.h"
#include "tests/support/FakeFileTypes.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Fakes.h"
#include "tests/support/WidgetLookup.h"

#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

class QLineEdit;

namespace ostrevan::test {

// The real main window over the real file system on a temporary tree, with the dialogs,
// message boxes and the end of the program replaced at their seams.
class SelectionWindow : public ::testing::Test {
protected:
    SelectionWindow();

    template <class Widget> Widget& child(const char* name) {
        return findControl<Widget>(*window, name);
    }
    void click(const char* name);
    bool enabled(const char* name);
    bool checked();
    std::string documentField();
    std::string comboText();
    // "&Weiter >" to the selection page.
    void toSelectionPage();
    // "Datei" on a file the dialog answers with.
    void chooseDocument(const std::string& path);
    // "Verzeichnis" on a folder the chooser answers with.
    void chooseFolder(const std::string& path);

    TempFolder temp;
    FakeFileTypes types;
    PosixFileSystem fileSystem{types};
    fakes::FakeMessageBox messages;
    fakes::FakeMousePointer pointer;
    fakes::FakeScreen screen{19200, 14400};
    Automation automation;
    fakes::FakeShell shell;
    fakes::FakeFileDialog fileDialog;
    fakes::FakeFolderChooser folderChooser;
    std::vector<int> exitCodes;
    std::unique_ptr<frmMain> window;
};

} // namespace ostrevan::test
