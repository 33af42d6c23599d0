#pragma once

#include <cstdint>
#include <span>

namespace ostrevan {

// Random access to the bytes of a file or of a buffer, for the compound-file reader.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    virtual std::uint64_t size() const = 0;
    // Copies the bytes from offset on into target; false when they are not all there (the
    // file was cut short or could not be read).
    virtual bool read(std::uint64_t offset, std::span<std::uint8_t> target) = 0;
};

// Bytes already in memory, borrowed for the life of the input.
class MemoryInput final : public ByteSource {
public:
    explicit MemoryInput(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::uint64_t size() const override { return m_bytes.size(); }
    bool read(std::uint64_t offset, std::span<std::uint8_t> target) override;

private:
    std::span<const std::uint8_t> m_bytes;
};

} // namespace ostrevan
