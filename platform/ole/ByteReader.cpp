#include "platform/ole/ByteReader.h"

namespace ostrevan {

std::span<const std::uint8_t> ByteReader::bytes(std::size_t count) {
    if (count > remaining()) {
        m_ok = false;
        return {};
    }
    const auto result = m_bytes.subspan(m_position, count);
    m_position += count;
    return result;
}

std::uint16_t ByteReader::u16() {
    const auto b = bytes(2);
    return b.empty() ? 0 : static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t ByteReader::u32() {
    const auto b = bytes(4);
    return b.empty() ? 0
                     : static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                           (static_cast<std::uint32_t>(b[2]) << 16) |
                           (static_cast<std::uint32_t>(b[3]) << 24);
}

} // namespace ostrevan
