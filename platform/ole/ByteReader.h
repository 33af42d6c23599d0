#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace ostrevan {

// Little-endian reads from untrusted bytes. A read past the end fails the reader for good:
// it returns zeros from then on, so a parser checks ok() once at the end of a structure
// instead of after every field.
class ByteReader final {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    bool ok() const { return m_ok; }
    std::size_t remaining() const { return m_ok ? m_bytes.size() - m_position : 0; }
    bool atEnd() const { return remaining() == 0; }

    // Defined here, so that a parser's many small reads are inlined.
    std::uint16_t u16() {
        const auto b = bytes(2);
        return b.empty() ? 0 : static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    }
    std::uint32_t u32() {
        const auto b = bytes(4);
        return b.empty()
                   ? 0
                   : static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                         (static_cast<std::uint32_t>(b[2]) << 16) |
                         (static_cast<std::uint32_t>(b[3]) << 24);
    }
    // The next count bytes, or an empty span (and a failed reader) when fewer remain.
    std::span<const std::uint8_t> bytes(std::size_t count) {
        if (count > remaining()) {
            m_ok = false;
            return {};
        }
        const auto result = m_bytes.subspan(m_position, count);
        m_position += count;
        return result;
    }
    void skip(std::size_t count) { bytes(count); }
    // Marks the structure as malformed, e.g. when a field holds an impossible value.
    void fail() { m_ok = false; }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_position = 0;
    bool m_ok = true;
};

} // namespace ostrevan
