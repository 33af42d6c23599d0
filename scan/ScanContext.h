#pragma once

namespace ostrevan {

class Automation;
class FileSystem;
class MessageBox;
class MousePointer;
class clsSettings;
struct MainForm;

// What the scan procedures reach: the main window's controls, the single settings object
// and the outside services. The caller owns all of them.
struct ScanContext {
    MainForm& form;
    clsSettings& Settings;
    MessageBox& messageBox;
    MousePointer& mousePointer;
    const Automation& automation;
    const FileSystem& fileSystem;
};

} // namespace ostrevan
