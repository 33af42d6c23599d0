#include "platform/ReplacementFile.h"

#include "platform/Error.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace ostrevan {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::TempFolder;

std::int32_t errorOf(const std::function<void()>& body) {
    const auto error = trapError(body);
    return error ? error->number() : 0;
}

// The names in the folder, so that a test sees a new file left behind.
std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().native());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void replace(const std::string& target, std::string_view bytes) {
    const auto file = openReplacementFile(target);
    file->write(bytes);
    file->commit();
}

TEST(ReplacementFile, ACommittedFileTakesTheTargetsPlaceAndModeAndLeavesNothingElse) {
    const TempFolder temp;
    const std::string target = temp.file("Bericht ä.txt", std::string(5000, 'x'));
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    replace(target, "neu");
    EXPECT_EQ(readBytes(target), "neu");
    EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"Bericht ä.txt"});
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    replace(temp.at("neu.txt"), "");
    EXPECT_EQ(readBytes(temp.at("neu.txt")), "");
}

TEST(ReplacementFile, WithoutCommitTheTargetStaysAndTheNewFileGoes) {
    const TempFolder temp;
    const std::string target = temp.file("alt.txt", "alt");
    {
        const auto file = openReplacementFile(target);
        file->write("halb");
        EXPECT_EQ(namesIn(temp.path()).size(), 2u) << "the new file is beside the target";
    }
    EXPECT_EQ(readBytes(target), "alt");
    EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"alt.txt"});
}

TEST(ReplacementFile, ASecondCommitOrALateWriteIsBadFileMode) {
    const TempFolder temp;
    const auto file = openReplacementFile(temp.at("a.txt"));
    file->commit();
    EXPECT_EQ(errorOf([&] { file->commit(); }), 54);
    EXPECT_EQ(errorOf([&] { file->write("x"); }), 54);
}

TEST(ReplacementFile, ALinkAtTheTargetIsRefusedAndWhatItNamesIsUntouched) {
    const TempFolder temp;
    const std::string victim = temp.file("opfer/wichtig.txt", "wertvoll");
    const std::string link = temp.link("QZVExportRef.txt", victim);
    const std::string dangling = temp.link("ins-leere.txt", temp.at("fehlt/neu.txt"));
    for (const std::string& target : {link, dangling}) {
        const auto error = trapError([&] { replace(target, "überschrieben"); });
        ASSERT_TRUE(error) << target;
        EXPECT_EQ(error->number(), 75);
        EXPECT_NE(error->description().find("keine gewöhnliche Datei"), std::string::npos)
            << error->description();
        EXPECT_TRUE(fs::is_symlink(target));
    }
    EXPECT_EQ(readBytes(victim), "wertvoll");
    EXPECT_FALSE(fs::exists(temp.at("fehlt")));
}

TEST(ReplacementFile, PipesSocketsAndFoldersAreNotReplaced) {
    const TempFolder temp;
    const std::string pipe = temp.at("rohr");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    const std::string socketPath = temp.at("s");
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    const std::string folder = temp.folder("Ordner");

    EXPECT_EQ(errorOf([&] { replace(pipe, "x"); }), 75);
    EXPECT_EQ(errorOf([&] { replace(socketPath, "x"); }), 75);
    EXPECT_EQ(errorOf([&] { replace(folder, "x"); }), 70);
    ::close(socket);
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_TRUE(fs::is_socket(socketPath));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(namesIn(temp.path()), (std::vector<std::string>{"Ordner", "rohr", "s"}));
}

TEST(ReplacementFile, AFullDiskKeepsTheOldFileWhole) {
    const TempFolder temp;
    const std::string old(10000, 'a');
    const std::string target = temp.file("bericht.txt", old);
    std::int32_t number = 0;
    {
        const test::FileSizeLimit full(4096);
        number = errorOf([&] { replace(target, std::string(8192, 'b')); });
    }
    EXPECT_EQ(number, 61);
    EXPECT_EQ(readBytes(target), old);
    EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"bericht.txt"});
}

TEST(ReplacementFile, MissingFoldersAndFilesAsFoldersAreNotFound) {
    const TempFolder temp;
    temp.file("da.txt");
    EXPECT_EQ(errorOf([&] { openReplacementFile(temp.at("fehlt/x.txt")); }), 76);
    EXPECT_EQ(errorOf([&] { openReplacementFile(temp.at("da.txt/x.txt")); }), 76);
    EXPECT_EQ(errorOf([&] { openReplacementFile(""); }), 53);
}

TEST(ReplacementFile, AFileOrFolderThisUserMayNotWriteIsNotReplaced) {
    const TempFolder temp;
    const std::string locked = temp.file("gesperrt.txt", "alt");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    const std::string closed = temp.folder("zu");
    ASSERT_EQ(::chmod(closed.c_str(), 0555), 0);
    test::expectUnprivileged([&]() -> std::string {
        std::string failures;
        if (const std::int32_t n = errorOf([&] { replace(locked, "neu"); }); n != 70) {
            failures += "read-only file gave " + std::to_string(n) + "; ";
        }
        if (const std::int32_t n = errorOf([&] { replace(closed + "/neu.txt", "x"); }); n != 70) {
            failures += "read-only folder gave " + std::to_string(n) + "; ";
        }
        return failures;
    });
    EXPECT_EQ(readBytes(locked), "alt");
    EXPECT_TRUE(namesIn(closed).empty());
}

} // namespace
} // namespace ostrevan
