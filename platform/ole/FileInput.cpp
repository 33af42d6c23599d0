#include "platform/ole/FileInput.h"

#include "platform/Error.h"

#include <gsf/gsf-input-impl.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ostrevan {
namespace {

// Reads go through a few cached pages: libgsf asks for one sector, or one 64-byte mini
// sector, at a time, and reads a directory sector again for every entry in it, so a page
// spares dozens of system calls per document (each one a round trip on a network share).
constexpr std::size_t kPageSize = 4096;
constexpr std::size_t kCachedPages = 16;
constexpr gsf_off_t kNoPage = -1;

struct FileInput {
    GsfInput parent;
    int fd;
    std::uint64_t bytesRead;
    // kCachedPages pages, page n in slot n % kCachedPages; allocated at the first read.
    guint8* pages;
    std::array<gsf_off_t, kCachedPages> pageStart;
    // Where a read without a caller's buffer lands when no single page holds it; valid until
    // the next read.
    guint8* buffer;
    std::size_t bufferSize;
};

struct FileInputClass {
    GsfInputClass parentClass;
};

GObjectClass* parentClass = nullptr;

GType fileInputType();

FileInput* asFileInput(gpointer object) {
    return reinterpret_cast<FileInput*>(
        G_TYPE_CHECK_INSTANCE_CAST(object, fileInputType(), FileInput));
}

void finalize(GObject* object) {
    FileInput* input = asFileInput(object);
    if (input->fd >= 0) {
        close(input->fd);
        input->fd = -1;
    }
    g_free(input->pages);
    input->pages = nullptr;
    g_free(input->buffer);
    input->buffer = nullptr;
    parentClass->finalize(object);
}

bool readFully(FileInput* input, guint8* target, std::size_t count, gsf_off_t offset) {
    input->bytesRead += count;
    while (count > 0) {
        const ssize_t got = pread(input->fd, target, count, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        target += got;
        count -= static_cast<std::size_t>(got);
        offset += got;
    }
    return true;
}

// The cached page that starts at start (a multiple of the page size inside the file), read
// when it is not there; null when the file no longer holds it.
const guint8* page(FileInput* input, gsf_off_t start) {
    if (input->pages == nullptr) {
        input->pages = static_cast<guint8*>(g_try_malloc(kPageSize * kCachedPages));
        if (input->pages == nullptr) {
            return nullptr;
        }
    }
    const auto slot = static_cast<std::size_t>(start / kPageSize) % kCachedPages;
    guint8* bytes = input->pages + slot * kPageSize;
    if (input->pageStart[slot] != start) {
        input->pageStart[slot] = kNoPage;
        const gsf_off_t size = gsf_input_size(&input->parent);
        const auto length = static_cast<std::size_t>(std::min<gsf_off_t>(kPageSize, size - start));
        if (!readFully(input, bytes, length, start)) {
            return nullptr;
        }
        input->pageStart[slot] = start;
    }
    return bytes;
}

guint8* scratch(FileInput* input, std::size_t count) {
    if (input->bufferSize < count) {
        g_free(input->buffer);
        input->buffer = static_cast<guint8*>(g_try_malloc(count));
        input->bufferSize = input->buffer != nullptr ? count : 0;
    }
    return input->buffer;
}

// libgsf checks that the bytes asked for lie inside the file before it calls this.
const guint8* read(GsfInput* gsfInput, std::size_t count, guint8* buffer) {
    FileInput* input = asFileInput(gsfInput);
    const gsf_off_t offset = gsfInput->cur_offset;
    const gsf_off_t firstPage = offset / kPageSize * kPageSize;
    const gsf_off_t end = offset + static_cast<gsf_off_t>(count);
    if (count == 0 || end - firstPage > gsf_off_t{2 * kPageSize}) {
        // Large reads go straight to the caller's buffer.
        guint8* target =
            buffer != nullptr ? buffer : scratch(input, std::max<std::size_t>(count, 1));
        return target != nullptr && readFully(input, target, count, offset) ? target : nullptr;
    }
    const guint8* first = page(input, firstPage);
    if (first == nullptr) {
        return nullptr;
    }
    const auto within = static_cast<std::size_t>(offset - firstPage);
    if (end <= firstPage + gsf_off_t{kPageSize}) {
        if (buffer == nullptr) {
            return first + within;
        }
        std::memcpy(buffer, first + within, count);
        return buffer;
    }
    // Across two pages, which never share a slot.
    guint8* target = buffer != nullptr ? buffer : scratch(input, count);
    const guint8* second = page(input, firstPage + gsf_off_t{kPageSize});
    if (target == nullptr || second == nullptr) {
        return nullptr;
    }
    const std::size_t head = kPageSize - within;
    std::memcpy(target, first + within, head);
    std::memcpy(target + head, second, count - head);
    return target;
}

// GsfInput keeps the position itself; pread needs nothing else.
gboolean seek(GsfInput*, gsf_off_t, GSeekType) {
    return FALSE;
}

GsfInput* makeInput(int fd, gsf_off_t size, const char* name) {
    auto* input = static_cast<FileInput*>(g_object_new(fileInputType(), nullptr));
    input->fd = fd;
    gsf_input_set_size(&input->parent, size);
    gsf_input_set_name(&input->parent, name);
    return &input->parent;
}

GsfInput* dup(GsfInput* gsfInput, GError** error) {
    const int fd = fcntl(asFileInput(gsfInput)->fd, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        g_set_error_literal(error, gsf_input_error_id(), errno, "dup failed");
        return nullptr;
    }
    return makeInput(fd, gsfInput->size, gsf_input_name(gsfInput));
}

void classInit(gpointer klass, gpointer) {
    parentClass = static_cast<GObjectClass*>(g_type_class_peek_parent(klass));
    G_OBJECT_CLASS(klass)->finalize = finalize;
    auto* inputClass = static_cast<GsfInputClass*>(klass);
    inputClass->Read = read;
    inputClass->Seek = seek;
    inputClass->Dup = dup;
}

void instanceInit(GTypeInstance* instance, gpointer) {
    auto* input = reinterpret_cast<FileInput*>(instance);
    input->fd = -1;
    input->bytesRead = 0;
    input->pages = nullptr;
    input->pageStart.fill(kNoPage);
    input->buffer = nullptr;
    input->bufferSize = 0;
}

GType fileInputType() {
    static const GType type =
        g_type_register_static_simple(GSF_INPUT_TYPE, "OstrevanFileInput", sizeof(FileInputClass),
                                      classInit, sizeof(FileInput), instanceInit, GTypeFlags{});
    return type;
}

int openReadOnly(const std::string& path) {
    constexpr int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    // O_NOATIME is refused for files of other users; reading them is still fine.
    int fd = open(path.c_str(), flags | O_NOATIME);
    if (fd < 0 && errno == EPERM) {
        fd = open(path.c_str(), flags);
    }
    return fd;
}

} // namespace

GObjectPtr<GsfInput> openFileInput(const std::string& path) {
    const int fd = openReadOnly(path);
    if (fd < 0) {
        raise(errorNumberForErrno(errno));
    }
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        raise(err::BadFileFormat);
    }
    return GObjectPtr<GsfInput>(makeInput(fd, status.st_size, path.c_str()));
}

std::uint64_t fileInputBytesRead(GsfInput* input) {
    return asFileInput(input)->bytesRead;
}

} // namespace ostrevan
