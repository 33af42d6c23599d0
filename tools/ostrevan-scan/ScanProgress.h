#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace ostrevan {

// One line on a terminal, rewritten in place at most ten times a second: files looked at
// while documents are collected, then documents read of found, links, rows and the rate.
// Disabled, it writes nothing.
class ScanProgress final {
public:
    ScanProgress(std::ostream& err, bool enabled);

    void fileLookedAt();
    void setFound(std::int64_t documents);
    void documentRead(std::size_t links);
    void rowListed();
    // Removes the line, so that a message or the summary starts on a clean one.
    void clear();

private:
    using Clock = std::chrono::steady_clock;

    // Shows the line when the last showing is long enough ago, or when forced.
    void update(bool force = false);
    std::string text(Clock::time_point now) const;

    std::ostream& m_err;
    bool m_enabled;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_shown{};
    std::size_t m_width = 0;
    bool m_reading = false;
    std::int64_t m_filesLooked = 0;
    std::int64_t m_found = 0;
    std::int64_t m_documents = 0;
    std::int64_t m_links = 0;
    std::int64_t m_rows = 0;
};

} // namespace ostrevan
