#include "platform/posix/RegistryChangeWatch.h"

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ostrevan {
namespace {

// Two copies of the header and the checkpoint information.
constexpr off_t kWalIndexHeaderBytes = 136;

} // namespace

RegistryChangeWatch::RegistryChangeWatch(const std::string& sharedMemoryPath) {
    const int fd = ::open(sharedMemoryPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    struct stat status {};
    if (::fstat(fd, &status) == 0 && status.st_size >= kWalIndexHeaderBytes) {
        void* map = ::mmap(nullptr, kHeaderSize, PROT_READ, MAP_SHARED, fd, 0);
        if (map != MAP_FAILED) {
            m_map = map;
            m_mapSize = kHeaderSize;
        }
    }
    ::close(fd);
}

RegistryChangeWatch::~RegistryChangeWatch() {
    if (m_map != nullptr) {
        ::munmap(m_map, m_mapSize);
    }
}

bool RegistryChangeWatch::changed() {
    if (m_map == nullptr) {
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
