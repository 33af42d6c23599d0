#include "platform/ole/ByteSource.h"

#include <algorithm>

namespace ostrevan {

bool MemoryInput::read(std::uint64_t offset, std::span<std::uint8_t> target) {
    if (offset > m_bytes.size() || target.size() > m_bytes.size() - offset) {
        return false;
    }
    std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(offset), target.size(),
                target.begin());
    return true;
}

std::span<const std::uint8_t> MemoryInput::viewAdvised(FetchAdvice& advice, std::uint64_t offset,
                                                       std::size_t count) {
    static_cast<void>(advice);
    if (offset > m_bytes.size() || count > m_bytes.size() - offset) {
        return {};
    }
    return m_bytes.subspan(static_cast<std::size_t>(offset), count);
}

} // namespace ostrevan
