#include "platform/posix/RegistryChangeWatch.h"

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace ostrevan {
namespace {

// Two copies of the header and the checkpoint information.
constexpr off_t kWalIndexHeaderBytes = 136;

} // namespace

RegistryChangeWatch::RegistryChangeWatch(std::string sharedMemoryPath)
    : m_path(std::move(sharedMemoryPath)) {
    mapCurrentFile();
}

RegistryChangeWatch::~RegistryChangeWatch() {
    unmap();
}

void RegistryChangeWatch::unmap() {
    if (m_map != nullptr) {
        ::munmap(m_map, m_mapSize);
        m_map = nullptr;
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool RegistryChangeWatch::mapCurrentFile() {
    unmap();
    m_fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) {
        return false;
    }
    struct stat status {};
    if (::fstat(m_fd, &status) == 0 && status.st_size >= kWalIndexHeaderBytes) {
        void* map = ::mmap(nullptr, kHeaderSize, PROT_READ, MAP_SHARED, m_fd, 0);
        if (map != MAP_FAILED) {
            m_map = map;
            m_mapSize = kHeaderSize;
        }
    }
    if (m_map == nullptr) {
        unmap();
    }
    return m_map != nullptr;
}

bool RegistryChangeWatch::changed() {
    struct stat status {};
    const bool named = m_map != nullptr && ::fstat(m_fd, &status) == 0 && status.st_nlink > 0;
    if (!named) {
        // A new file (or none): what was seen says nothing about it.
        mapCurrentFile();
        m_seenAny = false;
        return true;
    }
    std::array<unsigned char, kHeaderSize> header{};
    std::memcpy(header.data(), m_map, header.size());
    std::atomic_thread_fence(std::memory_order_acquire);
    const bool differs = !m_seenAny || header != m_seen;
    m_seen = header;
    m_seenAny = true;
    return differs;
}

} // namespace ostrevan
