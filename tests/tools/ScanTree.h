#pragma once

// A project tree of compound documents in a temporary folder, and ostrevan-scan run over it in
// this process, for the tests of the command and its comparison with the window.

#include "platform/posix/PosixFileSystem.h"
#include "tests/support/FakeFileTypes.h"
#include "tests/support/TempFolder.h"
#include "tools/ostrevan-scan/ScanOutput.h"

#include <QJsonObject>

#include <string>
#include <vector>

namespace ostrevan::test {

struct CommandRun {
    int status = -1;
    std::string out;
    std::string err;
};

//   Projekt Ä/Baugruppe.asm  -> Deckel.par (beside it), Teile/Welle.par (inside),
//                               Bibliothek/Schraube M6.par (outside), Projekt Ä2/Flansch.par
//                               (outside, its folder's name extends the project's),
//                               fehlt/weg.par (outside, missing)
//   Projekt Ä/Deckel.par     -> no links
//   Projekt Ä/Teile/Welle.par -> Bibliothek/Mutter M6.par (stored relative too),
//                               Projekt Ä/Teile/verloren.par (inside, missing)
//   Projekt Ä/notes.txt, Projekt Ä/Einstellungen.cfg: not documents
//   Projekt Ä2/Flansch.par, Bibliothek/*.par: no links
class ScanTree final {
public:
    ScanTree();

    std::string at(const std::string& relative) const { return temp.at(relative); }
    // A document at relative whose links name the given paths.
    void document(const std::string& relative, const std::vector<std::string>& links) const;

    CommandRun run(const std::vector<std::string>& arguments, OutputFault fault = {},
                   bool terminal = false) const;

    TempFolder temp;
    FakeFileTypes types;
    PosixFileSystem fileSystem{types};
    std::string config;
    std::string project;
};

// The records of CSV text, read by libcsv in strict mode; fails the test on a parse error.
std::vector<std::vector<std::string>> csvRecords(const std::string& text);

// The objects of JSON Lines text; fails the test on a line that is no JSON object.
std::vector<QJsonObject> jsonLines(const std::string& text);

// The rows of JSON Lines output as CSV records would hold them (the summary left out).
std::vector<std::vector<std::string>> jsonRows(const std::string& text);

} // namespace ostrevan::test
