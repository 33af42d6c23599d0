#include "platform/ole/FileInput.h"

#include "platform/Error.h"

#include <gsf/gsf-input-impl.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ostrevan {
namespace {

struct FileInput {
    GsfInput parent;
    int fd;
    std::uint64_t bytesRead;
    // Where reads without a caller's buffer land; valid until the next read. libgsf reads a
    // directory sector once for each entry in it, so the last one is kept.
    guint8* buffer;
    std::size_t bufferSize;
    gsf_off_t bufferOffset;
    std::size_t bufferFilled;
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
    g_free(input->buffer);
    input->buffer = nullptr;
    parentClass->finalize(object);
}

bool readFully(int fd, guint8* target, std::size_t count, off_t offset) {
    while (count > 0) {
        const ssize_t got = pread(fd, target, count, offset);
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

const guint8* read(GsfInput* gsfInput, std::size_t count, guint8* buffer) {
    FileInput* input = asFileInput(gsfInput);
    const gsf_off_t offset = gsfInput->cur_offset;
    if (buffer == nullptr) {
        if (input->bufferFilled == count && input->bufferOffset == offset) {
            return input->buffer;
        }
        input->bufferFilled = 0;
        if (input->bufferSize < count) {
            g_free(input->buffer);
            input->buffer = static_cast<guint8*>(g_try_malloc(count));
            input->bufferSize = input->buffer != nullptr ? count : 0;
            if (input->buffer == nullptr) {
                return nullptr;
            }
        }
        buffer = input->buffer;
    }
    if (!readFully(input->fd, buffer, count, static_cast<off_t>(offset))) {
        return nullptr;
    }
    if (buffer == input->buffer) {
        input->bufferOffset = offset;
        input->bufferFilled = count;
    }
    input->bytesRead += count;
    return buffer;
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
    input->buffer = nullptr;
    input->bufferSize = 0;
    input->bufferOffset = 0;
    input->bufferFilled = 0;
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
