#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace ostrevan {

// Bytes [begin, end) of a file.
struct ByteRange {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
};

// What a reader will hardly ask for near the bytes it reads: asked by a source only when it
// is about to fetch more than it was asked for.
class FetchAdvice {
public:
    // Of the bytes within that could be fetched along with those asked for, the ones worth
    // fetching.
    virtual ByteRange worthFetching(ByteRange asked, ByteRange within) = 0;
    // Whether some of the bytes will be asked for soon, whatever else is: a source that
    // fetches a page may fetch its neighbour along, in the same read, when it holds such bytes.
    virtual bool soonNeeded(ByteRange bytes) {
        static_cast<void>(bytes);
        return false;
    }

protected:
    ~FetchAdvice() = default;
};

// Random access to the bytes of a file or of a buffer, for the compound-file reader.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    virtual std::uint64_t size() const = 0;
    // Copies the bytes from offset on into target; false when they are not all there (the
    // file was cut short or could not be read).
    virtual bool read(std::uint64_t offset, std::span<std::uint8_t> target) = 0;
    // The same, where a source that fetches more than it is asked for (a page at a time)
    // fetches only what the advice finds worth it besides the bytes asked for.
    virtual bool readAdvised(FetchAdvice& advice, std::uint64_t offset,
                             std::span<std::uint8_t> target) {
        static_cast<void>(advice);
        return read(offset, target);
    }
    // The count bytes from offset on where the source holds them in memory, or fetches them
    // into memory it keeps, as readAdvised would: valid until the next call on the source.
    // Empty where it does not or cannot; the caller then copies them with readAdvised.
    virtual std::span<const std::uint8_t> viewAdvised(FetchAdvice& advice, std::uint64_t offset,
                                                      std::size_t count) {
        static_cast<void>(advice);
        static_cast<void>(offset);
        static_cast<void>(count);
        return {};
    }
};

// Bytes already in memory, borrowed for the life of the input.
class MemoryInput final : public ByteSource {
public:
    explicit MemoryInput(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::uint64_t size() const override { return m_bytes.size(); }
    bool read(std::uint64_t offset, std::span<std::uint8_t> target) override;
    std::span<const std::uint8_t> viewAdvised(FetchAdvice& advice, std::uint64_t offset,
                                              std::size_t count) override;

private:
    std::span<const std::uint8_t> m_bytes;
};

} // namespace ostrevan
