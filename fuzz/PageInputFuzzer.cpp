// Arbitrary bytes as a compound file, read once from a file through the cached page input and
// once from memory: the pages the input keeps, fetches along and hands on to the next file
// must never change what the reader sees. Before each reading, a file holding other bytes at
// every offset fills the page memory that the next input takes over, so that a page claiming
// bytes it never read shows.
#include "platform/Error.h"
#include "platform/ole/CompoundFile.h"
#include "platform/ole/FileInput.h"
#include "platform/ole/LinkObjects.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace {

using namespace ostrevan;

// What a reading saw, for comparison: the entries with their bytes (whole and cut short), or
// the link objects; the error number where it ended in one.
struct Seen {
    std::optional<std::int32_t> error;
    std::vector<std::string> lines;

    bool operator==(const Seen&) const = default;
};

std::string describe(const CompoundEntry& entry) {
    return std::to_string(static_cast<int>(entry.kind)) + ' ' + entry.name + ' ' +
           std::string(entry.classId.begin(), entry.classId.end()) + ' ' +
           std::to_string(entry.size) + ' ' + std::to_string(entry.startSector) + ' ' +
           std::to_string(entry.parent) + ' ' + std::to_string(entry.firstChild) + ' ' +
           std::to_string(entry.childCount);
}

std::string describe(const std::optional<std::vector<std::uint8_t>>& bytes) {
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("unreadable");
}

Seen seen(const std::function<void(std::vector<std::string>&)>& reading) {
    Seen result;
    if (const auto error = trapError([&] { reading(result.lines); })) {
        result.error = error->number();
    }
    return result;
}

Seen entriesAndBytes(ByteSource& input) {
    return seen([&](std::vector<std::string>& lines) {
        CompoundFile file(input);
        constexpr std::uint64_t kCutShort = 100;
        for (const CompoundEntry& entry : file.entries()) {
            lines.push_back(describe(entry));
            lines.push_back(describe(file.read(entry, kCutShort)));
            lines.push_back(describe(file.read(entry)));
        }
    });
}

Seen linkObjects(ByteSource& input) {
    return seen([&](std::vector<std::string>& lines) {
        const LinkObjects objects = readLinkObjects(input);
        for (const LinkObject& link : objects.links) {
            lines.push_back(link.storage + ' ' + link.absolute.displayName() + ' ' +
                            (link.relative ? link.relative->displayName() : "-"));
        }
        lines.insert(lines.end(), objects.skipped.begin(), objects.skipped.end());
    });
}

// The input's bytes as a file of their own, opened by name.
class InputFile {
public:
    InputFile() : m_descriptor(::memfd_create("fuzz-input", MFD_CLOEXEC)) {
        if (m_descriptor < 0) {
            __builtin_trap();
        }
    }
    ~InputFile() { ::close(m_descriptor); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    std::string holding(std::span<const std::uint8_t> bytes) {
        if (::ftruncate(m_descriptor, 0) != 0 ||
            ::pwrite(m_descriptor, bytes.data(), bytes.size(), 0) !=
                static_cast<ssize_t>(bytes.size())) {
            __builtin_trap();
        }
        return "/proc/self/fd/" + std::to_string(m_descriptor);
    }

private:
    int m_descriptor;
};

// Every page of the file at path read through an input of its own, which then hands its page
// memory on.
void readWhole(const std::string& path) {
    FileInput input(path);
    std::uint8_t byte = 0;
    for (std::uint64_t offset = 0; offset < input.size(); offset += 4096) {
        input.read(offset, {&byte, 1});
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kPageMemory = 64 * 1024;
    static InputFile file;
    static InputFile otherBytes;
    const std::string path = file.holding({data, size});
    std::vector<std::uint8_t> other(std::max(size, kPageMemory), 0xA5);
    std::transform(data, data + size, other.begin(),
                   [](std::uint8_t byte) { return static_cast<std::uint8_t>(~byte); });
    const std::string otherPath = otherBytes.holding(other);
    MemoryInput memory({data, size});
    for (const auto reading : {entriesAndBytes, linkObjects}) {
        readWhole(otherPath);
        FileInput input(path);
        const Seen fromFile = reading(input);
        if (fromFile != reading(memory) ||
            (fromFile.error && *fromFile.error != err::BadFileFormat)) {
            __builtin_trap();
        }
    }
    return 0;
}
