// ostrevan-scan on what a shared file server holds: odd names, things that are no files,
// loops, unreadable entries, and an output file that cannot be written.

#include "tools/ostrevan-scan/ScanCommand.h"

#include "platform/Error.h"
#include "tests/support/Unprivileged.h"
#include "tests/tools/ScanTree.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace ostrevan {
namespace {

namespace fs = std::filesystem;
using Records = std::vector<std::vector<std::string>>;

class ScanHostile : public ::testing::Test {
protected:
    std::string at(const std::string& relative) const { return tree.at(relative); }

    // The references listed in CSV output, in order.
    static std::vector<std::string> references(const test::CommandRun& run) {
        std::vector<std::string> found;
        const Records records = test::csvRecords(run.out);
        for (std::size_t i = 1; i < records.size(); ++i) {
            found.push_back(records[i][2]);
        }
        return found;
    }

    // The names in folder, sorted.
    static std::vector<std::string> names(const std::string& folder) {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(folder)) {
            found.push_back(entry.path().filename().string());
        }
        std::sort(found.begin(), found.end());
        return found;
    }

    test::ScanTree tree;
};

TEST_F(ScanHostile, OddNamesAreListedAsTheyAre) {
    const std::string folder = "-Projekt mit\nZeile und \xE4 ß";
    tree.document(folder + "/Teil \"1\", neu.par", {at("Lib/Geh\xE4use\nzwei.par")});
    const test::CommandRun run = tree.run({"--format", "csv", "--", at(folder)});
    EXPECT_EQ(run.status, kScanRowsListed) << run.err;
    const Records records = test::csvRecords(run.out);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1][1], at("-Projekt mit\nZeile und \xEF\xBF\xBD ß/Teil \"1\", neu.par"))
        << "a byte that is no UTF-8 shown as U+FFFD";
    EXPECT_EQ(records[1][3], "missing");
}

TEST_F(ScanHostile, ThingsThatAreNoFilesAreNeitherOpenedNorWaitedFor) {
    const std::string folder = tree.temp.folder("Sonder");
    tree.document("Sonder/echt.par", {"C:\\aussen.par"});
    ASSERT_EQ(::mkfifo((folder + "/rohr.par").c_str(), 0644), 0);
    tree.temp.link("Sonder/gerät.par", "/dev/zero");
    const int socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = folder + "/sockel.par";
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(socketFd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    {
        std::ofstream sparse(folder + "/riesig.par", std::ios::binary);
        sparse.seekp(3LL * 1024 * 1024 * 1024);
        sparse.put('\0');
    }
    const auto started = std::chrono::steady_clock::now();
    const test::CommandRun run = tree.run({"--format", "csv", folder});
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    ::close(socketFd);
    EXPECT_EQ(run.status, kScanSomethingUnreadable) << run.err;
    EXPECT_EQ(references(run), std::vector<std::string>{"C:\\aussen.par"});
    EXPECT_NE(run.err.find(folder + "/riesig.par: "), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("rohr"), std::string::npos) << run.err;

    EXPECT_EQ(tree.run({folder + "/rohr.par"}).status, kScanUsageError);
    EXPECT_EQ(tree.run({folder + "/sockel.par"}).status, kScanUsageError);
}

TEST_F(ScanHostile, SymbolicLinkLoopsEndAndCostNoRows) {
    const test::CommandRun plain = tree.run({"-r", "--format", "csv", tree.project});
    tree.temp.link("Projekt Ä/Teile/zurück", tree.project);
    tree.temp.link("Projekt Ä/Kreis.par", at("Projekt Ä/Kreis.par"));
    tree.temp.link("Projekt Ä/hin", at("Projekt Ä/her"));
    tree.temp.link("Projekt Ä/her", at("Projekt Ä/hin"));
    const test::CommandRun looped = tree.run({"-r", "--format", "csv", tree.project});
    EXPECT_EQ(looped.status, kScanRowsListed) << looped.err;
    EXPECT_EQ(looped.out, plain.out);
}

TEST_F(ScanHostile, AFolderOfAHundredThousandEntries) {
    const std::string folder = tree.temp.folder("Viele");
    for (int i = 0; i < 100000; ++i) {
        std::ofstream(folder + "/n" + std::to_string(i) + ".txt");
    }
    tree.document("Viele/n50000.par", {"C:\\aussen.par"});
    const test::CommandRun run = tree.run({"--format", "json", folder});
    EXPECT_EQ(run.status, kScanRowsListed) << run.err;
    EXPECT_EQ(test::jsonRows(run.out).size(), 1u);
}

TEST_F(ScanHostile, UnreadableFoldersAndDocumentsAreNamedAndTheRestIsScanned) {
    tree.document("Projekt Ä/zu/innen.par", {"C:\\geheim.par"});
    tree.document("Projekt Ä/gesperrt.par", {"C:\\gesperrt.par"});
    ::chmod(at("Projekt Ä/zu").c_str(), 0);
    ::chmod(at("Projekt Ä/gesperrt.par").c_str(), 0);
    test::expectUnprivileged([&]() -> std::string {
        const test::CommandRun run = tree.run({"-r", "--format", "csv", tree.project});
        std::string failures;
        if (run.status != kScanSomethingUnreadable) {
            failures += "status " + std::to_string(run.status) + "; ";
        }
        for (const std::string& named : {at("Projekt Ä/zu") + ": Zugriff verweigert (70)",
                                         at("Projekt Ä/gesperrt.par") + ": "}) {
            if (run.err.find("ostrevan-scan: " + named) == std::string::npos) {
                failures += "not named: " + named + "; ";
            }
        }
        if (run.err.find(", 2 nicht lesbar, ") == std::string::npos) {
            failures += "summary: " + run.err;
        }
        const std::vector<std::string> listed = references(run);
        if (std::find(listed.begin(), listed.end(), at("Projekt Ä2/Flansch.par")) == listed.end()) {
            failures += "the readable documents' rows are missing; ";
        }
        return failures;
    });
}

// -o FILE: the old file stays whole until the new one is complete.
class ScanOutputFile : public ScanHostile {
protected:
    ScanOutputFile() { std::ofstream(target) << "alter Bericht\r\n"; }

    test::CommandRun scanInto(OutputFault fault = {}) const {
        return tree.run({"-r", "-o", target, tree.project}, std::move(fault));
    }

    std::string folder = tree.temp.folder("Ausgabe");
    std::string target = folder + "/Bericht.txt";
};

TEST_F(ScanOutputFile, ReplacesTheFileWithTheWholeReport) {
    const test::CommandRun direct = tree.run({"-r", tree.project});
    const test::CommandRun run = scanInto();
    EXPECT_EQ(run.status, kScanRowsListed) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(test::readBytes(target), direct.out);
    EXPECT_EQ(names(folder), std::vector<std::string>{"Bericht.txt"});
}

class ScanOutputFault : public ScanOutputFile, public ::testing::WithParamInterface<OutputStep> {};

TEST_P(ScanOutputFault, LeavesTheOldFileAndNoOther) {
    const test::CommandRun run =
        scanInto([](OutputStep step) { return step == GetParam() ? ENOSPC : 0; });
    EXPECT_EQ(run.status, kScanOutputFailed);
    EXPECT_NE(run.err.find("ostrevan-scan: " + target + ": kann nicht geschrieben werden: " +
                           errorDescription(err::DiskFull) + " (61)\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(test::readBytes(target), "alter Bericht\r\n");
    EXPECT_EQ(names(folder), std::vector<std::string>{"Bericht.txt"});
}

std::string stepName(const ::testing::TestParamInfo<OutputStep>& info) {
    constexpr std::array<const char*, 3> kNames{"Create", "Write", "Replace"};
    return kNames.at(static_cast<std::size_t>(info.param));
}

INSTANTIATE_TEST_SUITE_P(EachStep, ScanOutputFault,
                         ::testing::Values(OutputStep::Create, OutputStep::Write,
                                           OutputStep::Replace),
                         stepName);

TEST_F(ScanOutputFile, WhatIsNoRegularFileIsNotReplaced) {
    const std::string fifo = folder + "/rohr";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string link = tree.temp.link("Ausgabe/Verweis.txt", target);
    for (const std::string& path : {fifo, link}) {
        const test::CommandRun run = tree.run({"-o", path, tree.project});
        EXPECT_EQ(run.status, kScanOutputFailed) << path;
        EXPECT_NE(run.err.find("keine gewöhnliche Datei"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::readBytes(target), "alter Bericht\r\n");
}

TEST_F(ScanOutputFile, AFullFileSystemKeepsTheOldFile) {
    const std::string small = tree.temp.folder("klein");
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=16k") != 0) {
        GTEST_SKIP() << "no small file system can be mounted here (" << std::strerror(errno)
                     << "); the injected faults stand in for it";
    }
    const std::string full = small + "/Bericht.txt";
    std::ofstream(full) << "alter Bericht\r\n";
    {
        std::ofstream filler(small + "/voll");
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())).flush()) {
        }
    }
    const test::CommandRun run = tree.run({"-r", "-o", full, tree.project});
    const std::string kept = test::readBytes(full);
    const std::vector<std::string> left = names(small);
    ::umount(small.c_str());
    EXPECT_EQ(run.status, kScanOutputFailed);
    EXPECT_NE(run.err.find("(61)"), std::string::npos) << run.err;
    EXPECT_EQ(kept, "alter Bericht\r\n");
    EXPECT_EQ(left, (std::vector<std::string>{"Bericht.txt", "voll"}));
}

} // namespace
} // namespace ostrevan
