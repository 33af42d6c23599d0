#pragma once

#include "platform/ole/ByteSource.h"
#include "platform/ole/ReadOnlyFile.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace ostrevan {

// A file opened read-only: never a writable handle, the access time left alone where the
// system allows it, reads only of the pages that hold the bytes asked for. A few pages stay
// cached: a reader asks for one sector, or one 64-byte mini sector, at a time, so a page
// spares dozens of system calls per document (each one a round trip on a network share).
class FileInput final : public ByteSource {
public:
    // Raises 53 (missing), 70 (no permission), 76 (a folder on the way is missing) and 321
    // for what is not a regular file (folders, devices, pipes: a pipe would block the reader).
    explicit FileInput(const std::string& path);
    // The file name in the folder; raises as above.
    FileInput(const FolderFiles& folder, const std::string& name);
    // Leaves its page memory to the next input the thread opens.
    ~FileInput() override;
    FileInput(const FileInput&) = delete;
    FileInput& operator=(const FileInput&) = delete;

    std::uint64_t size() const override { return m_size; }
    bool read(std::uint64_t offset, std::span<std::uint8_t> target) override;
    // Of a page, only what the advice finds worth it is read.
    bool readAdvised(FetchAdvice& advice, std::uint64_t offset,
                     std::span<std::uint8_t> target) override;
    // Bytes within one page, from the page kept for them.
    std::span<const std::uint8_t> viewAdvised(FetchAdvice& advice, std::uint64_t offset,
                                              std::size_t count) override;
    // The bytes read from the file so far, and in how many reads.
    std::uint64_t bytesRead() const { return m_bytesRead; }
    std::uint64_t reads() const { return m_reads; }

private:
    static constexpr std::size_t kPageSize = 4096;
    static constexpr std::size_t kCachedPages = 16;

    // A page of the file in memory, whole or the part of it that was worth reading.
    static constexpr std::uint64_t kNoPage = ~std::uint64_t{0};
    struct CachedPage {
        std::uint64_t start = kNoPage;
        std::uint32_t heldFrom = 0; // bytes held, from the page's start
        std::uint32_t heldTo = 0;
        std::uint64_t lastUse = 0;
    };

    bool readPages(FetchAdvice* advice, std::uint64_t offset, std::span<std::uint8_t> target);
    const std::uint8_t* heldInLastPage(std::uint64_t offset, std::size_t count) const;
    bool readFully(std::uint8_t* target, std::size_t count, std::uint64_t offset);
    // The bytes of the page at start, holding [from, to) at least.
    const std::uint8_t* page(std::uint64_t start, std::uint64_t from, std::uint64_t to,
                             FetchAdvice* advice);
    static std::size_t ownSlot(std::uint64_t start);
    std::size_t keptSlot(std::uint64_t start) const;
    std::size_t slotOf(std::uint64_t start) const;
    bool mayTake(std::size_t slot) const;
    ByteRange neighbourAlong(std::uint64_t start, std::size_t slot, bool after,
                             FetchAdvice& advice) const;

    ReadOnlyFile m_file;
    std::uint64_t m_size;
    std::uint64_t m_bytesRead = 0;
    std::uint64_t m_reads = 0;
    // Taken at the first read that needs it, from the input the thread closed last where
    // there is one: reading one document after another allocates it once.
    std::unique_ptr<std::uint8_t[]> m_pages;
    std::array<CachedPage, kCachedPages> m_cached;
    std::size_t m_lastSlot = 0;
    std::uint64_t m_uses = 0;
};

} // namespace ostrevan
