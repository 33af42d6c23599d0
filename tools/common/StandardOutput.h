#pragma once

#include <iosfwd>
#include <string_view>

namespace ostrevan {

// The exit status of a command-line tool once its output is out: status when standard output
// took everything, else a message on err ("program: Die Ausgabe konnte nicht geschrieben
// werden: ...") and failedStatus, so that a full disk or a closed pipe never looks like
// success.
int finishOutput(std::ostream& out, std::ostream& err, std::string_view program, int status,
                 int failedStatus);

} // namespace ostrevan
