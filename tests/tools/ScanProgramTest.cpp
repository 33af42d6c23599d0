// The ostrevan-scan program as a job runs it: exit statuses through the shell, standard
// output closed or full, a PATH that starts with a dash.

#include "tools/ostrevan-scan/ScanCommand.h"

#include "tests/tools/ScanTree.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace ostrevan {
namespace {

class ScanProgram : public ::testing::Test {
protected:
    // Runs the program in folder with the shell's redirections; returns its exit status.
    int status(const std::string& folder, const std::string& arguments,
               const std::string& redirections) const {
        const std::string command = "cd '" + folder + "' && XDG_CONFIG_HOME='" + tree.temp.path() +
                                    "' '" + OSTREVAN_SCAN_TOOL + "' " + arguments + " " +
                                    redirections;
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    std::string errors() const { return test::readBytes(tree.at("fehler.txt")); }

    test::ScanTree tree;
};

TEST_F(ScanProgram, AJobLearnsFromTheStatusWhetherLinksLeaveTheFolder) {
    const std::string quiet = ">/dev/null 2>/dev/null";
    tree.document("Eigen/a.par", {tree.at("Eigen/b.par")});
    tree.document("Eigen/b.par", {});
    EXPECT_EQ(status(tree.temp.path(), "-r Eigen", quiet), kScanNoRows);
    EXPECT_EQ(status(tree.temp.path(), "-r 'Projekt Ä'", quiet), kScanRowsListed);
    EXPECT_EQ(status(tree.temp.path(), "--bogus", quiet), kScanUsageError);
    EXPECT_EQ(status(tree.temp.path(), "--help", quiet), kScanNoRows);
}

TEST_F(ScanProgram, APathStartingWithADashFollowsTheEndOfOptions) {
    tree.document("-r/a.par", {"C:\\aussen.par"});
    EXPECT_EQ(status(tree.temp.path(), "-- -r", "> ausgabe.txt 2> fehler.txt"), kScanRowsListed);
    EXPECT_NE(test::readBytes(tree.at("ausgabe.txt")).find("C:\\aussen.par"), std::string::npos);
    EXPECT_EQ(errors().find('\r'), std::string::npos) << "no progress when stderr is a file";
    EXPECT_EQ(errors().rfind("ostrevan-scan: 1 Dokumente, 1 Links, 1 Zeilen, 0 nicht lesbar, ", 0),
              0u)
        << errors();
    EXPECT_EQ(status(tree.temp.path(), "-r", ">/dev/null 2> fehler.txt"), kScanUsageError);
}

TEST_F(ScanProgram, OutputThatCannotBeWrittenEndsInFour) {
    for (const std::string redirection : {">&-", ">/dev/full"}) {
        EXPECT_EQ(status(tree.temp.path(), "-r 'Projekt Ä'", redirection + " 2> fehler.txt"),
                  kScanOutputFailed)
            << redirection;
        EXPECT_NE(errors().find("ostrevan-scan: die Standardausgabe kann nicht geschrieben "
                                "werden\n"),
                  std::string::npos)
            << errors();
    }
}

TEST_F(ScanProgram, HelpNamesEveryOptionFieldAndStatus) {
    ASSERT_EQ(status(tree.temp.path(), "--help", "> hilfe.txt"), kScanNoRows);
    const std::string help = test::readBytes(tree.at("hilfe.txt"));
    for (const char* word :
         {"--recursive", "--all",          "--missing",      "--format",  "--output",
          "--quiet",     "--help",         " -- ",           "report",    "csv",
          "json",        "number",         "document",       "reference", "status",
          "resolved_by", "saved_absolute", "saved_relative", "summary",   "unreadable",
          "seconds",     "container",      "relative",       "absolute",  "search-path",
          "mapped",      "missing",        "Rückgabewert",   "  0  ",     "  1  ",
          "  2  ",       "  3  ",          "  4  "}) {
        EXPECT_NE(help.find(word), std::string::npos) << word;
    }
}

} // namespace
} // namespace ostrevan
