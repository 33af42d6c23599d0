#pragma once

#include "platform/FileSystem.h"
#include "platform/ole/LinkReaderServers.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

namespace ostrevan {

class ScanProgress;

// What the scan read: how the links of the document read last resolved, how many documents
// and links were read, and what could not be read. Each document or folder that cannot be
// read is named on err at once, with the error's number and description.
class ReadRecorder final : public LinkReadObserver {
public:
    ReadRecorder(std::ostream& err, ScanProgress& progress);

    void linksRead(const std::string& document, std::vector<ResolvedLink> links) override;
    void readFailed(const std::string& document, const Error& error) override;
    void folderFailed(const std::string& folder, const Error& error);

    // How reference, a link of document, resolved; null when document was not the last read
    // or holds no such link.
    const ResolvedLink* find(const std::string& document, const std::string& reference) const;

    // The links of all documents read, and the documents and folders that could not be.
    std::int64_t linkCount() const { return m_linkCount; }
    std::int64_t unreadableCount() const { return m_unreadableCount; }

private:
    void name(const std::string& path, const Error& error);

    std::ostream& m_err;
    ScanProgress& m_progress;
    std::string m_document;
    std::vector<ResolvedLink> m_links;
    std::int64_t m_linkCount = 0;
    std::int64_t m_unreadableCount = 0;
};

// The file system the scan goes through: the real one, with each folder that cannot be
// opened or listed told to the recorder before the error goes on to the scan.
class RecordingFileSystem final : public FileSystem {
public:
    RecordingFileSystem(const FileSystem& inner, ReadRecorder& recorder)
        : m_inner(inner), m_recorder(recorder) {}

    Folder GetFolder(const std::string& path) const override;
    std::vector<File> Files(const Folder& folder) const override;
    std::vector<Folder> SubFolders(const Folder& folder) const override;
    File GetFile(const std::string& path) const override { return m_inner.GetFile(path); }
    bool FileExists(const std::string& path) const override { return m_inner.FileExists(path); }
    bool FolderExists(const std::string& path) const override { return m_inner.FolderExists(path); }
    std::unique_ptr<TextStream> OpenTextFile(const std::string& path, int ioMode, bool create,
                                             int format) const override {
        return m_inner.OpenTextFile(path, ioMode, create, format);
    }

private:
    template <class Listing> auto recorded(const std::string& folder, Listing&& listing) const;

    const FileSystem& m_inner;
    ReadRecorder& m_recorder;
};

// A path for a message line: control characters shown as '?', so that no name can start a
// line of its own.
std::string printablePath(const std::string& path);

} // namespace ostrevan
