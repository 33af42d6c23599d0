#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ostrevan {

// Where the rows go. A failed write is remembered, and what follows it is dropped: the scan
// runs to its end, and the command then reports the failure.
class ScanOutput {
public:
    virtual ~ScanOutput() = default;
    virtual void write(std::string_view bytes) = 0;
    // Makes what was written final; false when the output failed at any point.
    virtual bool commit() = 0;
    // Why the output failed, in German; empty while it has not.
    virtual std::string failure() const = 0;
};

// The steps of writing a file, for injecting a failure at each.
enum class OutputStep { Create, Write, Replace };
// Returns the errno value that the step fails with, or 0 to let it run.
using OutputFault = std::function<int(OutputStep)>;

std::unique_ptr<ScanOutput> standardOutput(std::ostream& out);

// The file at path, written as a new file beside it, brought to disk and renamed over it by
// commit(): until then, and after any failure, the old file stays as it was and no new file is
// left. An existing path that is not a regular file is refused at once (failure() says why).
std::unique_ptr<ScanOutput> atomicOutputFile(const std::string& path, OutputFault fault = {});

} // namespace ostrevan
