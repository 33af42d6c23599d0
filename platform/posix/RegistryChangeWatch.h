#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace ostrevan {

// Tells cheaply whether any connection may have committed to a WAL-mode SQLite database:
// every commit rewrites the WAL-index header at the start of the "-shm" file (SQLite's
// documented wal-index format), which this watch maps read-only and compares. Without such a
// file it always answers "changed". Another program may delete and make anew the file (when
// it is the last to close, or while it creates the store): once the mapped file has no name
// left, the file the path names now is mapped instead.
class RegistryChangeWatch final {
public:
    explicit RegistryChangeWatch(std::string sharedMemoryPath);
    ~RegistryChangeWatch();
    RegistryChangeWatch(const RegistryChangeWatch&) = delete;
    RegistryChangeWatch& operator=(const RegistryChangeWatch&) = delete;

    // True when the header differs from the one seen at the last call (or cannot be watched).
    bool changed();

private:
    static constexpr std::size_t kHeaderSize = 48;

    // Maps the file the path names now; false when it cannot be watched.
    bool mapCurrentFile();
    void unmap();

    std::string m_path;
    int m_fd = -1; // kept open to learn cheaply when the file loses its name
    void* m_map = nullptr;
    std::size_t m_mapSize = 0;
    std::array<unsigned char, kHeaderSize> m_seen{};
    bool m_seenAny = false;
};

} // namespace ostrevan
