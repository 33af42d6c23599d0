#include "tests/storage/InitFileFakes.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace ostrevan::test {
namespace {

// Lines end in CR LF, LF or CR, as the real stream reads them.
class LineStream final : public TextStream {
public:
    explicit LineStream(std::string text) : m_text(std::move(text)) {}

    void Write(const std::string&) override { ADD_FAILURE() << "Write on a read stream"; }
    std::string ReadLine() override {
        if (AtEndOfStream()) {
            raise(62);
        }
        const std::size_t end = std::min(m_text.find_first_of("\r\n", m_pos), m_text.size());
        std::string line = m_text.substr(m_pos, end - m_pos);
        m_pos = end;
        if (m_pos < m_text.size()) {
            m_pos += m_text.compare(m_pos, 2, "\r\n") == 0 ? 2 : 1;
        }
        return line;
    }
    bool AtEndOfStream() const override { return m_pos >= m_text.size(); }
    void Close() override {}

private:
    std::string m_text;
    std::size_t m_pos = 0;
};

[[noreturn]] void notCalled(const char* member) {
    ADD_FAILURE() << member << " must not be called";
    raise(err::InternalError);
}

std::optional<std::string> copied(AnsiArgument argument) {
    return argument ? std::optional<std::string>(*argument) : std::nullopt;
}

} // namespace

Folder TextFileSystem::GetFolder(const std::string&) const {
    notCalled("GetFolder");
}
std::vector<File> TextFileSystem::Files(const Folder&) const {
    notCalled("Files");
}
std::vector<Folder> TextFileSystem::SubFolders(const Folder&) const {
    notCalled("SubFolders");
}
File TextFileSystem::GetFile(const std::string&) const {
    notCalled("GetFile");
}
bool TextFileSystem::FolderExists(const std::string&) const {
    notCalled("FolderExists");
}

bool TextFileSystem::FileExists(const std::string& path) const {
    return m_files.contains(path);
}

std::unique_ptr<TextStream> TextFileSystem::OpenTextFile(const std::string& path, int ioMode,
                                                         bool create, int format) const {
    EXPECT_EQ(ioMode, io::ForReading);
    EXPECT_FALSE(create);
    EXPECT_EQ(format, io::TristateFalse);
    const auto found = m_files.find(path);
    if (found == m_files.end()) {
        raise(err::FileNotFound);
    }
    return std::make_unique<LineStream>(found->second);
}

std::uint32_t RecordingProfile::GetPrivateProfileInt(std::string_view lpAppName,
                                                     std::string_view lpKeyName,
                                                     std::int32_t nDefault,
                                                     std::string_view lpFileName) const {
    calls.push_back({"GetPrivateProfileInt", std::string(lpAppName), std::string(lpKeyName),
                     std::nullopt, nDefault, 0, false, std::string(lpFileName)});
    return number;
}

std::uint32_t RecordingProfile::GetPrivateProfileString(AnsiArgument lpAppName,
                                                        AnsiArgument lpKeyName,
                                                        AnsiArgument lpDefault,
                                                        std::span<char> lpReturnedString,
                                                        std::string_view lpFileName) const {
    const bool blank = std::all_of(lpReturnedString.begin(), lpReturnedString.end(),
                                   [](char c) { return c == ' '; });
    calls.push_back({"GetPrivateProfileString", copied(lpAppName), copied(lpKeyName),
                     copied(lpDefault), 0, lpReturnedString.size(), blank,
                     std::string(lpFileName)});
    const std::size_t count = std::min(answer.size(), lpReturnedString.size());
    std::copy_n(answer.begin(), count, lpReturnedString.begin());
    return static_cast<std::uint32_t>(count);
}

bool RecordingProfile::WritePrivateProfileString(std::string_view lpAppName, AnsiArgument lpKeyName,
                                                 AnsiArgument lpString,
                                                 std::string_view lpFileName) {
    calls.push_back({"WritePrivateProfileString", std::string(lpAppName), copied(lpKeyName),
                     copied(lpString), 0, 0, false, std::string(lpFileName)});
    return written;
}

std::string RecordingProfile::ProfilePath(std::string_view fileName) const {
    if (fileName.empty() || fileName.find('/') != std::string_view::npos) {
        return std::string(fileName);
    }
    return "/konfig/" + std::string(fileName);
}

} // namespace ostrevan::test
