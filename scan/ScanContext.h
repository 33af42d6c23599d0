#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ostrevan {

class Automation;
class FileSystem;
class MessageBox;
class MousePointer;
class clsSettings;
struct MainForm;

// A folder or document the scan could not read, and the error that stopped it.
struct ScanFailure {
    std::string path;
    std::int32_t number = 0;
    std::string description;
};

// What the last scan could not read, beside the messages that told the user: a front end
// without message boxes reports from here.
struct ScanFailures {
    std::vector<ScanFailure> folders;   // by RekursivFolder and GetAllFiles
    std::vector<ScanFailure> documents; // by ReadReference
};

// What the scan procedures reach: the main window's controls, the single settings object
// and the outside services. The caller owns all of them.
struct ScanContext {
    MainForm& form;
    clsSettings& Settings;
    MessageBox& messageBox;
    MousePointer& mousePointer;
    const Automation& automation;
    const FileSystem& fileSystem;
    ScanFailures failures{};
};

} // namespace ostrevan
