#include "platform/ole/FileInput.h"

#include <algorithm>
#include <cstring>

namespace ostrevan {
namespace {

constexpr std::uint64_t kNoPage = ~std::uint64_t{0};

} // namespace

FileInput::FileInput(const std::string& path) : m_file(path), m_size(m_file.size()) {
    m_pageStart.fill(kNoPage);
}

FileInput::FileInput(const FolderFiles& folder, const std::string& name)
    : m_file(folder, name), m_size(m_file.size()) {
    m_pageStart.fill(kNoPage);
}

bool FileInput::readFully(std::uint8_t* target, std::size_t count, std::uint64_t offset) {
    m_bytesRead += count;
    while (count > 0) {
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

const std::uint8_t* FileInput::page(std::uint64_t start) {
    if (!m_pages) {
        m_pages = std::make_unique_for_overwrite<std::uint8_t[]>(kPageSize * kCachedPages);
    }
    const auto slot = static_cast<std::size_t>(start / kPageSize % kCachedPages);
    std::uint8_t* bytes = m_pages.get() + slot * kPageSize;
    if (m_pageStart[slot] != start) {
        m_pageStart[slot] = kNoPage;
        const auto length =
            static_cast<std::size_t>(std::min<std::uint64_t>(kPageSize, m_size - start));
        if (!readFully(bytes, length, start)) {
            return nullptr;
        }
        m_pageStart[slot] = start;
    }
    return bytes;
}

bool FileInput::read(std::uint64_t offset, std::span<std::uint8_t> target) {
    const std::size_t count = target.size();
    if (offset > m_size || count > m_size - offset) {
        return false;
    }
    const std::uint64_t firstPage = offset / kPageSize * kPageSize;
    const std::uint64_t end = offset + count;
    if (count == 0 || end - firstPage > 2 * kPageSize) {
        // Large reads go straight to the caller's buffer.
        return readFully(target.data(), count, offset);
    }
    const std::uint8_t* first = page(firstPage);
    if (first == nullptr) {
        return false;
    }
    const auto within = static_cast<std::size_t>(offset - firstPage);
    const std::size_t head = std::min(count, kPageSize - within);
    std::memcpy(target.data(), first + within, head);
    if (head == count) {
        return true;
    }
    // Across two pages, which never share a slot.
    const std::uint8_t* second = page(firstPage + kPageSize);
    if (second == nullptr) {
        return false;
    }
    std::memcpy(target.data() + head, second, count - head);
    return true;
}

} // namespace ostrevan
