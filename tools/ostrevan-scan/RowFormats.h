#pragma once

#include "tools/ostrevan-scan/ScanOptions.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ostrevan {

struct ResolvedLink;

// One row as the command lists it.
struct ListedRow {
    std::int64_t number = 0;
    std::string document;
    std::string reference;
    // How the reference resolved when its document was read; null when the reader did not say.
    const ResolvedLink* link = nullptr;
};

struct ScanSummary {
    std::int64_t documents = 0;
    std::int64_t links = 0;
    std::int64_t rows = 0;
    // Documents and folders that could not be read.
    std::int64_t unreadable = 0;
    double seconds = 0;
};

// The bytes of one output format: what comes before the first row, each row, and the end.
class RowFormat {
public:
    virtual ~RowFormat() = default;
    virtual std::string heading() const = 0;
    virtual std::string row(const ListedRow& row) const = 0;
    virtual std::string ending(const ScanSummary& summary) const = 0;
};

std::unique_ptr<RowFormat> makeRowFormat(OutputFormat format);

// "found" or "missing"; "" when the row's resolution is not known.
std::string linkStatus(const ListedRow& row);

// A number with that many decimals and a point, whatever the locale.
std::string decimalText(double value, int decimals);

} // namespace ostrevan
