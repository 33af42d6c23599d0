#include "platform/posix/PosixTextStream.h"

#include "platform/Error.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace ostrevan {
namespace {

using test::readBytes;
using test::TempFolder;

std::int32_t errorOf(const std::function<void()>& body) {
    const auto error = trapError(body);
    return error ? error->number() : 0;
}

std::unique_ptr<TextStream> openForReading(const std::string& path) {
    return openTextStream(path, io::ForReading, false, io::TristateFalse);
}

std::vector<std::string> allLines(TextStream& stream) {
    std::vector<std::string> lines;
    while (!stream.AtEndOfStream()) {
        lines.push_back(stream.ReadLine());
    }
    return lines;
}

TEST(TextStream, ReportIsWrittenAsWindows1252) {
    const TempFolder temp;
    const std::string path = temp.at("QZVExportRef.txt");
    auto stream = openTextStream(path, io::ForWriting, true, io::TristateFalse);
    stream->Write("Anzahl  SolidEdge Dokument - Referenz\r\n");
    stream->Write("00001   /Konstruktion/Gehäuse Ω.asm - /Maß/€.par\r\n");
    stream->Close();
    EXPECT_EQ(readBytes(path), "Anzahl  SolidEdge Dokument - Referenz\r\n"
                               "00001   /Konstruktion/Geh\xE4use ?.asm - /Ma\xDF/\x80.par\r\n");
}

TEST(TextStream, WritingEmptiesAnExistingFileFirst) {
    const TempFolder temp;
    const std::string path = temp.file("report.txt", std::string(1000, 'x') + "\r\n");
    auto stream = openTextStream(path, io::ForWriting, true, io::TristateFalse);
    stream->Write("kurz\r\n");
    stream->Close();
    EXPECT_EQ(readBytes(path), "kurz\r\n");
}

TEST(TextStream, AppendingKeepsTheFile) {
    const TempFolder temp;
    const std::string path = temp.file("log.txt", "alt\r\n");
    auto stream = openTextStream(path, io::ForAppending, false, io::TristateUseDefault);
    stream->Write("neu");
    stream->Close();
    EXPECT_EQ(readBytes(path), "alt\r\nneu");
}

TEST(TextStream, ManyWritesLandInOrder) {
    const TempFolder temp;
    const std::string path = temp.at("big.txt");
    std::string expected;
    auto stream = openTextStream(path, io::ForWriting, true, io::TristateFalse);
    for (int i = 0; i < 20000; ++i) {
        const std::string line = std::to_string(i) + " ü\r\n";
        stream->Write(line);
        expected += std::to_string(i) + " \xFC\r\n";
    }
    stream->Close();
    EXPECT_EQ(readBytes(path), expected);
}

TEST(TextStream, AWritingStreamDroppedBeforeCloseLeavesTheOldFileWhole) {
    const TempFolder temp;
    const std::string path = temp.file("bericht.txt", "alter Bericht\r\n");
    {
        auto stream = openTextStream(path, io::ForWriting, true, io::TristateFalse);
        stream->Write(std::string(200000, 'x'));
    }
    EXPECT_EQ(readBytes(path), "alter Bericht\r\n");
}

TEST(TextStream, AppendingFlushesWhenTheStreamIsDropped) {
    const TempFolder temp;
    const std::string path = temp.file("log.txt", "alt\r\n");
    openTextStream(path, io::ForAppending, false, io::TristateFalse)->Write("neu");
    EXPECT_EQ(readBytes(path), "alt\r\nneu");
}

TEST(TextStream, UnicodeIsUtf16WithByteOrderMark) {
    const TempFolder temp;
    const std::string path = temp.at("unicode.txt");
    auto writer = openTextStream(path, io::ForWriting, true, io::TristateTrue);
    writer->Write("aä Ω😀\r\nzwei");
    writer->Close();
    EXPECT_EQ(readBytes(path),
              std::string("\xFF\xFE"
                          "a\0\xE4\0 \0\xA9\x03\x3D\xD8\x00\xDE\r\0\n\0z\0w\0e\0i\0",
                          26));
    auto reader = openTextStream(path, io::ForReading, false, io::TristateTrue);
    EXPECT_EQ(allLines(*reader), (std::vector<std::string>{"aä Ω😀", "zwei"}));
}

struct LineRow {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

TEST(TextStream, ReadLineSplitsAtEveryLineEnd) {
    const LineRow rows[] = {
        {"CR LF", "[Bereich]\r\na=1\r\n", {"[Bereich]", "a=1"}},
        {"LF only", "[A]\nb=2\n", {"[A]", "b=2"}},
        {"CR only", "x\ry\r", {"x", "y"}},
        {"no final line end", "[A]\r\nlast", {"[A]", "last"}},
        {"empty lines", "\r\n\n\r\r\nend", {"", "", "", "", "end"}},
        {"mixed", "a\r\n\nb\rc\n", {"a", "", "b", "c"}},
        {"Windows-1252",
         "Gr\xF6\xDF"
         "e=\x80\r\n",
         {"Größe=€"}},
        {"empty file", "", {}},
        {"only a line end", "\r\n", {""}},
    };
    const TempFolder temp;
    for (const auto& row : rows) {
        const std::string path = temp.file("profile.ini", row.bytes);
        auto stream = openForReading(path);
        EXPECT_EQ(allLines(*stream), row.lines) << row.name;
        EXPECT_EQ(errorOf([&] { stream->ReadLine(); }), 62) << row.name;
        stream->Close();
    }
}

TEST(TextStream, LinesCrossTheReadBuffer) {
    // A line end split between two reads of 64 KiB must still count once.
    const std::string first(64 * 1024 - 1, 'a');
    const std::string second(70000, 'b');
    const TempFolder temp;
    const std::string path = temp.file("long.txt", first + "\r\n" + second + "\r\nc");
    auto stream = openForReading(path);
    EXPECT_EQ(allLines(*stream), (std::vector<std::string>{first, second, "c"}));
}

TEST(TextStream, ReadingWithCreateMakesAnEmptyFile) {
    const TempFolder temp;
    const std::string path = temp.at("neu.ini");
    auto stream = openTextStream(path, io::ForReading, true, io::TristateFalse);
    EXPECT_TRUE(stream->AtEndOfStream());
    EXPECT_EQ(readBytes(path), "");
}

TEST(TextStream, WrongDirectionIsBadFileMode) {
    const TempFolder temp;
    const std::string path = temp.file("a.txt", "x\r\n");
    auto reader = openForReading(path);
    EXPECT_EQ(errorOf([&] { reader->Write("y"); }), 54);
    auto writer = openTextStream(temp.at("b.txt"), io::ForWriting, true, io::TristateFalse);
    EXPECT_EQ(errorOf([&] { writer->ReadLine(); }), 54);
    EXPECT_EQ(errorOf([&] { (void)writer->AtEndOfStream(); }), 54);
    writer->Close();
    writer->Close();
    EXPECT_EQ(errorOf([&] { writer->Write("z"); }), 54);
}

struct OpenErrorRow {
    const char* name;
    std::string path;
    int ioMode;
    bool create;
    int format;
    std::int32_t error;
};

TEST(TextStream, OpenRaisesTheRuntimeErrors) {
    const TempFolder temp;
    temp.file("da.txt");
    temp.folder("Ordner mit Ä");
    ASSERT_EQ(::mkfifo(temp.at("rohr").c_str(), 0644), 0);
    const OpenErrorRow rows[] = {
        {"missing file", temp.at("fehlt.txt"), io::ForReading, false, 0, 53},
        {"missing file, writing without create", temp.at("fehlt.txt"), io::ForWriting, false, 0,
         53},
        {"missing folder", temp.at("fehlt/x.txt"), io::ForWriting, true, 0, 76},
        {"a file as folder", temp.at("da.txt/x.txt"), io::ForReading, false, 0, 76},
        {"a folder, reading", temp.at("Ordner mit Ä"), io::ForReading, false, 0, 70},
        {"a folder, writing", temp.at("Ordner mit Ä"), io::ForWriting, true, 0, 70},
        {"a pipe does not block", temp.at("rohr"), io::ForReading, false, 0, 75},
        {"a pipe is not written over", temp.at("rohr"), io::ForWriting, true, 0, 75},
        {"empty path", "", io::ForReading, false, 0, 53},
        {"bad mode", temp.at("da.txt"), 3, false, 0, 5},
        {"bad format", temp.at("da.txt"), io::ForReading, false, 1, 5},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(errorOf([&] { openTextStream(row.path, row.ioMode, row.create, row.format); }),
                  row.error)
            << row.name;
    }
}

TEST(TextStream, FullDiskIsReportedByCloseAndKeepsTheOldFile) {
    const TempFolder temp;
    const std::string path = temp.file("bericht.txt", "alt\r\n");
    auto stream = openTextStream(path, io::ForWriting, false, io::TristateFalse);
    stream->Write(std::string(1000, 'z'));
    {
        const test::FileSizeLimit full(100);
        EXPECT_EQ(errorOf([&] { stream->Close(); }), 61);
    }
    EXPECT_EQ(errorOf([&] { stream->Close(); }), 0);
    EXPECT_EQ(readBytes(path), "alt\r\n");
}

TEST(TextStream, DeniedAccessIs70) {
    const TempFolder temp;
    const std::string locked = temp.file("gesperrt.txt", "alt");
    ::chmod(locked.c_str(), 0444);
    const std::string closedFolder = temp.folder("zu");
    ::chmod(closedFolder.c_str(), 0555);
    test::expectUnprivileged([&]() -> std::string {
        std::string failures;
        const auto expect70 = [&](const char* name, const std::function<void()>& body) {
            const std::int32_t number = errorOf(body);
            if (number != 70) {
                failures += std::string(name) + " gave " + std::to_string(number) + "; ";
            }
        };
        expect70("read-only file",
                 [&] { openTextStream(locked, io::ForWriting, true, io::TristateFalse); });
        expect70("read-only folder", [&] {
            openTextStream(closedFolder + "/neu.txt", io::ForWriting, true, io::TristateFalse);
        });
        return failures;
    });
    EXPECT_EQ(readBytes(locked), "alt");
}

} // namespace
} // namespace ostrevan
