#include "tools/common/StandardOutput.h"

#include "platform/Error.h"

#include <cerrno>
#include <ostream>

namespace ostrevan {

int finishOutput(std::ostream& out, std::ostream& err, std::string_view program, int status,
                 int failedStatus) {
    out.flush();
    if (out) {
        return status;
    }
    const int failure = errno;
    err << program << ": Die Ausgabe konnte nicht geschrieben werden";
    if (failure != 0) {
        err << ": " << errorDescription(errorNumberForErrno(failure));
    }
    err << '\n' << std::flush;
    return failedStatus;
}

} // namespace ostrevan
