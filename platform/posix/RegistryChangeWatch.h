#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace ostrevan {

// Tells cheaply whether any connection may have committed to a WAL-mode SQLite database:
// every commit rewrites the WAL-index header at the start of the "-shm" file (SQLite's
// documented wal-index format), which this watch maps read-only and compares. Without such a
// file it always answers "changed". Make it only while a connection to the database is open,
// so that the file is neither deleted nor truncated under the mapping.
class RegistryChangeWatch final {
public:
    explicit RegistryChangeWatch(const std::string& sharedMemoryPath);
    ~RegistryChangeWatch();
    RegistryChangeWatch(const RegistryChangeWatch&) = delete;
    RegistryChangeWatch& operator=(const RegistryChangeWatch&) = delete;

    // True when the header differs from the one seen at the last call (or cannot be watched).
    bool changed();

private:
    static constexpr std::size_t kHeaderSize = 48;

    void* m_map = nullptr;
    std::size_t m_mapSize = 0;
    std::array<unsigned char, kHeaderSize> m_seen{};
    bool m_seenAny = false;
};

} // namespace ostrevan
