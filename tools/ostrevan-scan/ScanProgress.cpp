#include "tools/ostrevan-scan/ScanProgress.h"

#include <ostream>

namespace ostrevan {
namespace {

constexpr auto kInterval = std::chrono::milliseconds(100);

} // namespace

ScanProgress::ScanProgress(std::ostream& err, bool enabled) : m_err(err), m_enabled(enabled) {}

void ScanProgress::fileLookedAt() {
    ++m_filesLooked;
    update();
}

void ScanProgress::setFound(std::int64_t documents) {
    m_found = documents;
    m_reading = true;
    m_start = Clock::now();
    update(true);
}

void ScanProgress::documentRead(std::size_t links) {
    ++m_documents;
    m_links += static_cast<std::int64_t>(links);
    update();
}

void ScanProgress::rowListed() {
    ++m_rows;
}

void ScanProgress::clear() {
    if (m_enabled && m_width > 0) {
        m_err << '\r' << std::string(m_width, ' ') << '\r' << std::flush;
        m_width = 0;
        m_shown = {};
    }
}

void ScanProgress::update(bool force) {
    if (!m_enabled) {
        return;
    }
    const Clock::time_point now = Clock::now();
    if (!force && now - m_shown < kInterval) {
        return;
    }
    m_shown = now;
    const std::string line = text(now);
    m_err << '\r' << line;
    if (line.size() < m_width) {
        m_err << std::string(m_width - line.size(), ' ');
    }
    m_err << std::flush;
    m_width = line.size();
}

std::string ScanProgress::text(Clock::time_point now) const {
    if (!m_reading) {
        return "Suche Dokumente: " + std::to_string(m_filesLooked) + " Dateien angesehen";
    }
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    const auto rate = seconds > 0 ? static_cast<std::int64_t>(m_documents / seconds) : 0;
    return "Dokumente " + std::to_string(m_documents) + " von " + std::to_string(m_found) + ", " +
           std::to_string(m_links) + " Links, " + std::to_string(m_rows) + " Zeilen, " +
           std::to_string(rate) + " Dokumente/s";
}

} // namespace ostrevan
