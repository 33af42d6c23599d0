#include "platform/ole/FileInput.h"

#include <algorithm>
#include <cstring>

namespace ostrevan {
namespace {

// The page memory of the input this thread closed last, for the next one.
thread_local std::unique_ptr<std::uint8_t[]> t_sparePages;

} // namespace

FileInput::FileInput(const std::string& path) : m_file(path), m_size(m_file.size()) {}

FileInput::FileInput(const FolderFiles& folder, const std::string& name)
    : m_file(folder, name), m_size(m_file.size()) {}

FileInput::~FileInput() {
    if (!t_sparePages) {
        t_sparePages = std::move(m_pages);
    }
}

bool FileInput::readFully(std::uint8_t* target, std::size_t count, std::uint64_t offset) {
    m_bytesRead += count;
    while (count > 0) {
        ++m_reads;
        const std::size_t got = m_file.readAt(target, count, offset);
        if (got == 0) {
            return false;
        }
        target += got;
        count -= got;
        offset += got;
    }
    return true;
}

// Pages 16 apart share one.
std::size_t FileInput::ownSlot(std::uint64_t start) {
    return static_cast<std::size_t>(start / kPageSize % kCachedPages);
}

// The slot that holds the page, or kCachedPages.
std::size_t FileInput::keptSlot(std::uint64_t start) const {
    const auto kept =
        std::find_if(m_cached.begin(), m_cached.end(),
                     [start](const CachedPage& cached) { return cached.start == start; });
    return static_cast<std::size_t>(kept - m_cached.begin());
}

// The slot that holds the page, else its own slot while that is free (a document needs
// fewer pages than are kept, mostly), else the least recently used one.
std::size_t FileInput::slotOf(std::uint64_t start) const {
    const std::size_t own = ownSlot(start);
    if (m_cached[own].start == start || m_cached[own].start == kNoPage) {
        return own;
    }
    if (const std::size_t kept = keptSlot(start); kept < kCachedPages) {
        return kept;
    }
    const auto oldest =
        std::min_element(m_cached.begin(), m_cached.end(),
                         [](const auto& a, const auto& b) { return a.lastUse < b.lastUse; });
    return static_cast<std::size_t>(oldest - m_cached.begin());
}

// Whether the slot is free or holds the page used longest ago of those kept.
bool FileInput::mayTake(std::size_t slot) const {
    const CachedPage& cached = m_cached[slot];
    return cached.start == kNoPage ||
           std::none_of(m_cached.begin(), m_cached.end(), [&](const CachedPage& other) {
               return other.start != kNoPage && other.lastUse < cached.lastUse;
           });
}

// Of the page next to the one at start in its own slot (after it or before it), what is worth
// reading along with it: nothing unless the advice expects some of its bytes soon and its
// own slot, next to start's, is free or holds the page used longest ago (the header, mostly).
ByteRange FileInput::neighbourAlong(std::uint64_t start, std::size_t slot, bool after,
                                    FetchAdvice& advice) const {
    const bool room =
        after ? slot + 1 < kCachedPages && start + kPageSize < m_size : slot > 0 && start > 0;
    if (!room || slot != ownSlot(start) || !mayTake(after ? slot + 1 : slot - 1)) {
        return {};
    }
    const std::uint64_t neighbour = after ? start + kPageSize : start - kPageSize;
    const ByteRange page{neighbour, std::min(neighbour + kPageSize, m_size)};
    if (keptSlot(neighbour) < kCachedPages || !advice.soonNeeded(page)) {
        return {};
    }
    // What joins the page at start, from the side that touches it.
    const std::uint64_t touching = after ? page.begin : page.end;
    const ByteRange worth = advice.worthFetching({touching, touching}, page);
    return after ? ByteRange{page.begin, std::clamp(worth.end, page.begin, page.end)}
                 : ByteRange{std::clamp(worth.begin, page.begin, page.end), page.end};
}

const std::uint8_t* FileInput::page(std::uint64_t start, std::uint64_t from, std::uint64_t to,
                                    FetchAdvice* advice) {
    const std::size_t slot = slotOf(start);
    CachedPage& cached = m_cached[slot];
    if (!m_pages) {
        m_pages = t_sparePages
                      ? std::move(t_sparePages)
                      : std::make_unique_for_overwrite<std::uint8_t[]>(kPageSize * kCachedPages);
    }
    std::uint8_t* bytes = m_pages.get() + slot * kPageSize;
    const auto heldFrom = static_cast<std::uint32_t>(from - start);
    const auto heldTo = static_cast<std::uint32_t>(to - start);
    if (cached.start != start || heldFrom < cached.heldFrom || heldTo > cached.heldTo) {
        // What is worth reading of the page, and the bytes asked for in any case.
        const std::uint64_t end = std::min<std::uint64_t>(start + kPageSize, m_size);
        const ByteRange worth = advice != nullptr ? advice->worthFetching({from, to}, {start, end})
                                                  : ByteRange{start, end};
        auto readFrom =
            static_cast<std::uint32_t>(std::min(from, std::max(start, worth.begin)) - start);
        auto readTo = static_cast<std::uint32_t>(std::max(to, std::min(end, worth.end)) - start);
        // What the page already holds stays where the new bytes join it, and is not read
        // again where it lies at one end of them.
        const bool joins =
            cached.start == start && readFrom <= cached.heldTo && cached.heldFrom <= readTo;
        if (joins && readFrom >= cached.heldFrom) {
            readFrom = cached.heldTo;
        } else if (joins && readTo <= cached.heldTo) {
            readTo = cached.heldFrom;
        }
        // A page read whole from an end may take its neighbour along, in the same read.
        const bool fresh = cached.start != start && advice != nullptr;
        const ByteRange before =
            fresh && readFrom == 0 ? neighbourAlong(start, slot, false, *advice) : ByteRange{};
        const ByteRange after = fresh && start + readTo == end
                                    ? neighbourAlong(start, slot, true, *advice)
                                    : ByteRange{};
        const std::uint64_t readBegin = before.begin < before.end ? before.begin : start + readFrom;
        const std::uint64_t readEnd = after.begin < after.end ? after.end : start + readTo;
        cached.start = kNoPage;
        if (!readFully(m_pages.get() + (slot * kPageSize + readBegin - start), readEnd - readBegin,
                       readBegin)) {
            return nullptr;
        }
        cached.start = start;
        cached.heldFrom = joins ? std::min(cached.heldFrom, readFrom) : readFrom;
        cached.heldTo = joins ? std::max(cached.heldTo, readTo) : readTo;
        if (before.begin < before.end) {
            m_cached[slot - 1] = {start - kPageSize,
                                  static_cast<std::uint32_t>(before.begin - (start - kPageSize)),
                                  kPageSize, ++m_uses};
        }
        if (after.begin < after.end) {
            m_cached[slot + 1] = {after.begin, 0,
                                  static_cast<std::uint32_t>(after.end - after.begin), ++m_uses};
        }
    }
    cached.lastUse = ++m_uses;
    m_lastSlot = slot;
    return bytes;
}

bool FileInput::read(std::uint64_t offset, std::span<std::uint8_t> target) {
    return readPages(nullptr, offset, target);
}

bool FileInput::readAdvised(FetchAdvice& advice, std::uint64_t offset,
                            std::span<std::uint8_t> target) {
    return readPages(&advice, offset, target);
}

// The bytes where the page read last holds them all, else nullptr: most reads fall there.
const std::uint8_t* FileInput::heldInLastPage(std::uint64_t offset, std::size_t count) const {
    const CachedPage& last = m_cached[m_lastSlot];
    if (last.start != kNoPage && offset >= last.start + last.heldFrom &&
        offset + count <= last.start + last.heldTo) {
        return m_pages.get() + m_lastSlot * kPageSize + (offset - last.start);
    }
    return nullptr;
}

std::span<const std::uint8_t> FileInput::viewAdvised(FetchAdvice& advice, std::uint64_t offset,
                                                     std::size_t count) {
    if (const std::uint8_t* held = heldInLastPage(offset, count)) {
        return {held, count};
    }
    const std::uint64_t start = offset / kPageSize * kPageSize;
    if (count == 0 || offset > m_size || count > m_size - offset ||
        offset + count > start + kPageSize) {
        return {};
    }
    const std::uint8_t* bytes = page(start, offset, offset + count, &advice);
    if (bytes == nullptr) {
        return {};
    }
    return {bytes + (offset - start), count};
}

bool FileInput::readPages(FetchAdvice* advice, std::uint64_t offset,
                          std::span<std::uint8_t> target) {
    const std::size_t count = target.size();
    if (const std::uint8_t* held = heldInLastPage(offset, count)) {
        std::memcpy(target.data(), held, count);
        return true;
    }
    if (offset > m_size || count > m_size - offset) {
        return false;
    }
    const std::uint64_t firstPage = offset / kPageSize * kPageSize;
    const std::uint64_t end = offset + count;
    if (count == 0 || end - firstPage > 2 * kPageSize) {
        // Large reads go straight to the caller's buffer.
        return readFully(target.data(), count, offset);
    }
    // One page or two.
    for (std::uint64_t start = firstPage; start < end; start += kPageSize) {
        const std::uint64_t from = std::max(offset, start);
        const std::uint64_t to = std::min(end, start + kPageSize);
        const std::uint8_t* bytes = page(start, from, to, advice);
        if (bytes == nullptr) {
            return false;
        }
        std::memcpy(target.data() + (from - offset), bytes + (from - start), to - from);
    }
    return true;
}

} // namespace ostrevan
