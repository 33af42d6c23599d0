#include "tools/ostrevan-scan/ReadRecorder.h"

#include "platform/Error.h"
#include "tools/ostrevan-scan/ScanProgress.h"

#include <algorithm>
#include <ostream>

namespace ostrevan {

ReadRecorder::ReadRecorder(std::ostream& err, ScanProgress& progress)
    : m_err(err), m_progress(progress) {}

void ReadRecorder::linksRead(const std::string& document, std::vector<ResolvedLink> links) {
    m_document = document;
    m_links = std::move(links);
    m_linkCount += static_cast<std::int64_t>(m_links.size());
    m_progress.documentRead(m_links.size());
}

void ReadRecorder::readFailed(const std::string& document, const Error& error) {
    m_document.clear();
    m_links.clear();
    name(document, error);
}

void ReadRecorder::folderFailed(const std::string& folder, const Error& error) {
    name(folder, error);
}

const ResolvedLink* ReadRecorder::find(const std::string& document,
                                       const std::string& reference) const {
    if (document != m_document) {
        return nullptr;
    }
    // A handful of links: a search is cheaper than an index.
    const auto found = std::find_if(m_links.begin(), m_links.end(), [&](const ResolvedLink& link) {
        return link.fullName == reference;
    });
    return found == m_links.end() ? nullptr : &*found;
}

void ReadRecorder::name(const std::string& path, const Error& error) {
    ++m_unreadableCount;
    m_progress.clear();
    m_err << "ostrevan-scan: " << printablePath(path) << ": " << error.description() << " ("
          << error.number() << ")\n"
          << std::flush;
}

template <class Listing>
auto RecordingFileSystem::recorded(const std::string& folder, Listing&& listing) const {
    try {
        return listing();
    } catch (...) {
        m_recorder.folderFailed(folder, caughtError());
        throw;
    }
}

Folder RecordingFileSystem::GetFolder(const std::string& path) const {
    return recorded(path, [&] { return m_inner.GetFolder(path); });
}

std::vector<File> RecordingFileSystem::Files(const Folder& folder) const {
    return recorded(folder.Path, [&] { return m_inner.Files(folder); });
}

std::vector<Folder> RecordingFileSystem::SubFolders(const Folder& folder) const {
    return recorded(folder.Path, [&] { return m_inner.SubFolders(folder); });
}

std::string printablePath(const std::string& path) {
    std::string text = path;
    std::replace_if(
        text.begin(), text.end(),
        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7f'; }, '?');
    return text;
}

} // namespace ostrevan
