#pragma once

#include "platform/Automation.h"
#include "scan/ScanContext.h"
#include "scan/clsSettings.h"
#include "tests/support/Environment.h"
#include "tests/support/FakeFileTypes.h"
#include "tests/support/Fakes.h"
#include "tests/support/NativeFileSystem.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace ostrevan::test {

inline const std::string kHeaderLine = "Anzahl  SolidEdge Dokument - Referenz\r\n";
inline const std::string kRuleLine = std::string(82, '-') + "\r\n";

// The file's bytes, nothing when it cannot be read; safe in a child process.
std::optional<std::string> fileBytes(const std::string& path);

// The report logic over fake controls and the real file system in a temporary folder.
class ReportTest : public ::testing::Test {
protected:
    void addRow(const std::string& number, const std::string& document,
                const std::string& reference) {
        fake.ListView1.rows.push_back({number, document, reference});
    }
    // What the message boxes and the shell were given, for failure texts.
    std::string seen() const;

    TempFolder temp;
    FakeFileTypes types;
    NativeFileSystem fileSystem{types};
    fakes::FakeForm fake;
    clsSettings settings{fake.form};
    fakes::FakeMessageBox messages;
    fakes::FakeMousePointer pointer;
    Automation automation;
    fakes::FakeShell shell;
    ScanContext context{fake.form, settings, messages, pointer, automation, fileSystem};
};

} // namespace ostrevan::test
