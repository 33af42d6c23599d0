#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ostrevan {

enum class OutputFormat { Report, Csv, Json };

struct ScanOptions {
    std::string path;
    bool recursive = false;
    // Every link (reference type 1), not only those outside the chosen folder.
    bool all = false;
    // Only links whose target is found nowhere, inside or outside.
    bool missingOnly = false;
    OutputFormat format = OutputFormat::Report;
    // Written atomically instead of standard output.
    std::optional<std::string> outputFile;
    bool quiet = false;
};

// What the command line asks for: a scan, the help text, or nothing but a usage error.
struct ParsedCommandLine {
    enum class Kind { Scan, Help, UsageError };
    Kind kind = Kind::UsageError;
    ScanOptions options;
    // For a usage error: what was wrong, in German.
    std::string error;
};

// Options before PATH or after it; "--" ends them, so that a PATH may start with '-'. Short
// options may be combined ("-rq", "-oFILE"); long ones take their value as the next argument
// or after '=' ("--format=csv").
ParsedCommandLine parseScanCommandLine(const std::vector<std::string>& arguments);

} // namespace ostrevan
