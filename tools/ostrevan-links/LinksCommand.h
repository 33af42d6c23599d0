#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ostrevan {

// ostrevan-links [--json] FILE...: the links of each document, how each resolved, and what
// was stored. Returns the exit status: 0 when every file was read, 1 when some could not be
// (its error on err, the others still listed), 2 on a usage error. Link rules come from
// configFolder/LinkMgmt.txt.
int runLinksCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                    const std::string& configFolder);

} // namespace ostrevan
