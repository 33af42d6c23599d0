// The command line and the streaming result list of ostrevan-scan.

#include "tools/ostrevan-scan/ConsoleControls.h"
#include "tools/ostrevan-scan/ScanOptions.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

struct CommandLineCase {
    const char* name;
    std::vector<std::string> arguments;
    ParsedCommandLine::Kind kind;
    ScanOptions options; // compared for Kind::Scan
};

ScanOptions scanOf(std::string path, bool recursive = false, bool all = false,
                   bool missingOnly = false, OutputFormat format = OutputFormat::Report,
                   std::optional<std::string> outputFile = std::nullopt, bool quiet = false) {
    return {std::move(path), recursive, all, missingOnly, format, std::move(outputFile), quiet};
}

class CommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, IsReadAsCommandLineToolsReadThem) {
    const ParsedCommandLine parsed = parseScanCommandLine(GetParam().arguments);
    ASSERT_EQ(parsed.kind, GetParam().kind) << parsed.error;
    if (parsed.kind == ParsedCommandLine::Kind::UsageError) {
        EXPECT_FALSE(parsed.error.empty());
    }
    if (parsed.kind != ParsedCommandLine::Kind::Scan) {
        return;
    }
    const ScanOptions& got = parsed.options;
    const ScanOptions& want = GetParam().options;
    EXPECT_EQ(got.path, want.path);
    EXPECT_EQ(got.recursive, want.recursive);
    EXPECT_EQ(got.all, want.all);
    EXPECT_EQ(got.missingOnly, want.missingOnly);
    EXPECT_EQ(got.format, want.format);
    EXPECT_EQ(got.outputFile, want.outputFile);
    EXPECT_EQ(got.quiet, want.quiet);
}

using Kind = ParsedCommandLine::Kind;

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLine,
    ::testing::Values(
        CommandLineCase{"PathOnly", {"P"}, Kind::Scan, scanOf("P")},
        CommandLineCase{
            "OptionsAfterThePath", {"P", "-r", "--all"}, Kind::Scan, scanOf("P", true, true)},
        CommandLineCase{
            "LongNames",
            {"--recursive", "--missing", "--quiet", "--format", "csv", "--output", "o.csv", "P"},
            Kind::Scan,
            scanOf("P", true, false, true, OutputFormat::Csv, "o.csv", true)},
        CommandLineCase{"ValuesAfterEquals",
                        {"--format=json", "--output=x y.json", "P"},
                        Kind::Scan,
                        scanOf("P", false, false, false, OutputFormat::Json, "x y.json")},
        CommandLineCase{"CombinedShortOptions",
                        {"-rqo", "out.txt", "P"},
                        Kind::Scan,
                        scanOf("P", true, false, false, OutputFormat::Report, "out.txt", true)},
        CommandLineCase{"OutputGluedToTheLetter",
                        {"-oout.txt", "P"},
                        Kind::Scan,
                        scanOf("P", false, false, false, OutputFormat::Report, "out.txt")},
        CommandLineCase{
            "DoubleDashEndsOptions", {"-r", "--", "-q"}, Kind::Scan, scanOf("-q", true)},
        CommandLineCase{"ALoneDashIsAPath", {"-"}, Kind::Scan, scanOf("-")},
        CommandLineCase{"HelpWinsOverAMissingPath", {"-h"}, Kind::Help, {}},
        CommandLineCase{"LongHelp", {"P", "--help"}, Kind::Help, {}},
        CommandLineCase{"NoPath", {"-r"}, Kind::UsageError, {}},
        CommandLineCase{"EmptyPath", {""}, Kind::UsageError, {}},
        CommandLineCase{"TwoPaths", {"A", "B"}, Kind::UsageError, {}},
        CommandLineCase{"UnknownLong", {"--rekursiv", "P"}, Kind::UsageError, {}},
        CommandLineCase{"UnknownShort", {"-x", "P"}, Kind::UsageError, {}},
        CommandLineCase{"FlagWithAValue", {"--all=yes", "P"}, Kind::UsageError, {}},
        CommandLineCase{"FormatUnknown", {"--format", "xml", "P"}, Kind::UsageError, {}},
        CommandLineCase{"FormatLast", {"P", "--format"}, Kind::UsageError, {}},
        CommandLineCase{"OutputLast", {"P", "-o"}, Kind::UsageError, {}},
        CommandLineCase{"OutputEmpty", {"--output=", "P"}, Kind::UsageError, {}}),
    [](const auto& info) { return std::string(info.param.name); });

std::int32_t errorOf(const std::function<void()>& body) {
    const auto error = trapError(body);
    return error ? error->number() : 0;
}

class StreamedRows : public ::testing::Test {
protected:
    std::vector<std::vector<std::string>> handedOn;
    StreamingListView list{[this](const ConsoleRow& row) {
        handedOn.push_back({row.number, row.document, row.reference});
    }};
};

TEST_F(StreamedRows, ARowGoesOnWhenItsReferenceIsSetAndStaysReadable) {
    EXPECT_EQ(list.add("1"), 1);
    list.setText(1, 1, "a.asm");
    EXPECT_TRUE(handedOn.empty());
    list.setText(1, 2, "b.par");
    EXPECT_EQ(handedOn, (std::vector<std::vector<std::string>>{{"1", "a.asm", "b.par"}}));
    EXPECT_EQ(list.text(1, 2), "b.par");
    EXPECT_EQ(errorOf([&] { list.setText(1, 1, "anders"); }), err::SubscriptOutOfRange);
    list.finish();
    EXPECT_EQ(handedOn.size(), 1u) << "a row goes on once";
}

TEST_F(StreamedRows, EarlierRowsAreGoneAndARowWithoutReferenceGoesOnLater) {
    list.add("1");
    list.setText(1, 1, "a.asm");
    EXPECT_EQ(list.add("2"), 2);
    EXPECT_EQ(handedOn, (std::vector<std::vector<std::string>>{{"1", "a.asm", ""}}));
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(errorOf([&] { (void)list.text(1, 0); }), err::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { list.setText(3, 0, "x"); }), err::SubscriptOutOfRange);
    list.finish();
    EXPECT_EQ(handedOn.size(), 2u);
    list.clear();
    EXPECT_EQ(list.count(), 0);
    list.finish();
    EXPECT_EQ(handedOn.size(), 2u) << "nothing to hand on after clearing";
}

} // namespace
} // namespace ostrevan
