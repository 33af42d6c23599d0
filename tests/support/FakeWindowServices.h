#pragma once

#include "app/frmMain.h"
#include "tests/support/Fakes.h"

#include <string>
#include <vector>

namespace ostrevan::fakes {

// The main window's outside services as fakes, for tests that build the real window. The
// file system is the test's own choice.
struct FakeWindowServices {
    MainWindowServices services(const FileSystem& fileSystem, std::string programFolder) {
        return {messages,
                pointer,
                screen,
                automation,
                fileSystem,
                shell,
                fileDialog,
                folderChooser,
                std::move(programFolder),
                [this](int code) {
                    exitCodes.push_back(code);
                }};
    }

    FakeMessageBox messages;
    FakeMousePointer pointer;
    FakeScreen screen{19200, 14400};
    Automation automation;
    FakeShell shell;
    FakeFileDialog fileDialog;
    FakeFolderChooser folderChooser;
    std::vector<int> exitCodes; // of every end of the program asked for
};

} // namespace ostrevan::fakes
