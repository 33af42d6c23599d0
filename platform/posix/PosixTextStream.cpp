#include "platform/posix/PosixTextStream.h"

#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/posix/PosixReplacementFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <iconv.h>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace ostrevan {
namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr std::int32_t kBadFileMode = 54;
constexpr std::int32_t kInputPastEnd = 62;

[[noreturn]] void raiseErrno(int errnoValue) {
    raise(errorNumberForErrno(errnoValue));
}

struct IconvCloser {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};

// Converts between UTF-8 and UTF-16LE; input the source encoding cannot hold is replaced
// unit by unit, so that no text is refused.
class Converter final {
public:
    Converter(const char* to, const char* from, std::size_t unit, std::string replacement)
        : m_unit(unit), m_replacement(std::move(replacement)) {
        const iconv_t cd = iconv_open(to, from);
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert to ") + to);
        }
        m_cd.reset(cd);
    }

    std::string operator()(std::string_view in) const {
        const auto cd = static_cast<iconv_t>(m_cd.get());
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        std::string block(4 * in.size() + 8, '\0');
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        while (inLeft > 0) {
            char* outPtr = block.data();
            std::size_t outLeft = block.size();
            const bool failed =
                iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1);
            const int failure = errno;
            out.append(block.data(), block.size() - outLeft);
            if (failed && failure != E2BIG) {
                const std::size_t skip = std::min(m_unit, inLeft);
                inPtr += skip;
                inLeft -= skip;
                out += m_replacement;
            }
        }
        return out;
    }

private:
    std::unique_ptr<void, IconvCloser> m_cd;
    std::size_t m_unit;
    std::string m_replacement;
};

enum class Encoding { Ansi, Utf16 };

// Reads or appends through a descriptor; writes (ForWriting) through a replacement file, so
// that the old file stays whole until Close has written the new one completely.
class PosixTextStream final : public TextStream {
public:
    PosixTextStream(int fd, std::unique_ptr<ReplacementFile> replacement, int ioMode,
                    Encoding encoding)
        : m_fd(fd), m_replacement(std::move(replacement)), m_reading(ioMode == io::ForReading),
          m_unit(encoding == Encoding::Utf16 ? 2 : 1) {
        if (encoding == Encoding::Utf16) {
            m_converter = m_reading ? std::make_unique<Converter>("UTF-8", "UTF-16LE", 2, "\uFFFD")
                                    : std::make_unique<Converter>("UTF-16LE", "UTF-8", 1,
                                                                  std::string("\xFD\xFF", 2));
        }
    }
    PosixTextStream(const PosixTextStream&) = delete;
    PosixTextStream& operator=(const PosixTextStream&) = delete;

    // Without Close a replacement is dropped and the old file stays as it was.
    ~PosixTextStream() override {
        if (!m_open || m_replacement) {
            return;
        }
        // An error here has nowhere to go; Close reports it to callers who ask.
        (void)trapError([this] { flush(); });
        ::close(m_fd);
    }

    void Write(const std::string& text) override {
        if (!m_open || m_reading) {
            raise(kBadFileMode);
        }
        m_out += m_converter ? (*m_converter)(text) : toWindows1252(text);
        if (m_out.size() >= kChunk) {
            flush();
        }
    }

    std::string ReadLine() override {
        requireReading();
        if (!unitAvailable()) {
            raise(kInputPastEnd);
        }
        std::string raw;
        while (unitAvailable()) {
            const char16_t unit = unitAt(m_pos);
            m_pos += m_unit;
            if (unit == u'\n') {
                break;
            }
            if (unit == u'\r') {
                if (unitAvailable() && unitAt(m_pos) == u'\n') {
                    m_pos += m_unit;
                }
                break;
            }
            raw.append(m_in, m_pos - m_unit, m_unit);
        }
        return m_converter ? (*m_converter)(raw) : fromWindows1252(raw);
    }

    bool AtEndOfStream() const override {
        requireReading();
        return !unitAvailable();
    }

    void Close() override {
        if (!m_open) {
            return;
        }
        m_open = false;
        if (m_replacement) {
            const std::unique_ptr<ReplacementFile> replacement = std::move(m_replacement);
            replacement->write(std::exchange(m_out, {}));
            replacement->commit();
            return;
        }
        const std::optional<Error> flushError = trapError([this] { flush(); });
        const bool closed = ::close(m_fd) == 0;
        const int closeErrno = errno;
        if (flushError) {
            throw *flushError;
        }
        if (!closed) {
            raiseErrno(closeErrno);
        }
    }

    // A Unicode file read from its start: its byte-order mark is no text.
    void skipByteOrderMark() {
        if (m_converter && unitAvailable() && unitAt(m_pos) == u'\uFEFF') {
            m_pos += m_unit;
        }
    }

    // A Unicode file written from its start begins with a byte-order mark.
    void writeByteOrderMark() { m_out += std::string("\xFF\xFE", 2); }

private:
    void requireReading() const {
        if (!m_open || !m_reading) {
            raise(kBadFileMode);
        }
    }

    // Writes out the buffer; on failure what was not written is dropped, so that a later
    // flush does not repeat the error.
    void flush() {
        if (m_replacement) {
            m_replacement->write(std::exchange(m_out, {}));
            return;
        }
        std::size_t done = 0;
        while (done < m_out.size()) {
            const ssize_t written = ::write(m_fd, m_out.data() + done, m_out.size() - done);
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                const int failure = errno;
                m_out.clear();
                raiseErrno(failure);
            }
            done += static_cast<std::size_t>(written);
        }
        m_out.clear();
    }

    // Whether a whole unit lies ahead, reading more of the file when needed. Reading does not
    // change what the stream holds for its callers, hence const.
    bool unitAvailable() const {
        while (m_in.size() - m_pos < m_unit && !m_atEnd) {
            m_in.erase(0, m_pos);
            m_pos = 0;
            const std::size_t kept = m_in.size();
            m_in.resize(kept + kChunk);
            ssize_t got = 0;
            do {
                got = ::read(m_fd, m_in.data() + kept, kChunk);
            } while (got < 0 && errno == EINTR);
            if (got < 0) {
                const int failure = errno;
                m_in.resize(kept);
                raiseErrno(failure);
            }
            m_in.resize(kept + static_cast<std::size_t>(got));
            m_atEnd = got == 0;
        }
        return m_in.size() - m_pos >= m_unit;
    }

    char16_t unitAt(std::size_t pos) const {
        const auto byte = [&](std::size_t i) {
            return static_cast<unsigned char>(m_in[i]);
        };
        return static_cast<char16_t>(m_unit == 1 ? byte(pos) : byte(pos) | (byte(pos + 1) << 8));
    }

    int m_fd;
    std::unique_ptr<ReplacementFile> m_replacement;
    bool m_open = true;
    bool m_reading;
    std::size_t m_unit;
    std::unique_ptr<Converter> m_converter;
    std::string m_out;
    mutable std::string m_in;
    mutable std::size_t m_pos = 0;
    mutable bool m_atEnd = false;
};

int openFlags(int ioMode, bool create) {
    const int creating = create ? O_CREAT : 0;
    switch (ioMode) {
    case io::ForReading:
        return O_RDONLY | creating;
    case io::ForAppending:
        return O_WRONLY | O_APPEND | creating;
    default:
        raise(err::InvalidCall);
    }
}

Encoding encodingFor(int format) {
    switch (format) {
    case io::TristateFalse:
    case io::TristateUseDefault:
        return Encoding::Ansi;
    case io::TristateTrue:
        return Encoding::Utf16;
    default:
        raise(err::InvalidCall);
    }
}

bool parentFolderExists(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return true;
    }
    struct stat info {};
    return ::stat(slash == 0 ? "/" : path.substr(0, slash).c_str(), &info) == 0 &&
           S_ISDIR(info.st_mode);
}

[[noreturn]] void raiseOpenError(const std::string& path, int failure) {
    if (failure == ENOENT) {
        raise(parentFolderExists(path) ? err::FileNotFound : err::PathNotFound);
    }
    if (failure == EISDIR) {
        raise(err::PermissionDenied);
    }
    raiseErrno(failure);
}

// A new file that replaces the old one only when it is complete.
std::unique_ptr<TextStream> openForWriting(const std::string& path, bool create,
                                           Encoding encoding) {
    struct stat info {};
    if (!create && ::lstat(path.c_str(), &info) != 0) {
        raiseOpenError(path, errno);
    }
    auto stream =
        std::make_unique<PosixTextStream>(-1, openReplacementFile(path), io::ForWriting, encoding);
    if (encoding == Encoding::Utf16) {
        stream->writeByteOrderMark();
    }
    return stream;
}

} // namespace

std::unique_ptr<TextStream> openTextStream(const std::string& path, int ioMode, bool create,
                                           int format) {
    const Encoding encoding = encodingFor(format);
    if (path.empty()) {
        raise(err::FileNotFound);
    }
    if (ioMode == io::ForWriting) {
        return openForWriting(path, create, encoding);
    }
    const int flags = openFlags(ioMode, create);
    // Not blocking, so that a pipe without a writer does not hang the open.
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        raiseOpenError(path, errno);
    }
    auto stream = std::make_unique<PosixTextStream>(fd, nullptr, ioMode, encoding);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        raiseErrno(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        raise(err::PermissionDenied);
    }
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
        raise(err::PathFileAccess);
    }
    if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        raiseErrno(errno);
    }
    if (encoding == Encoding::Utf16) {
        if (ioMode == io::ForReading) {
            stream->skipByteOrderMark();
        } else if (info.st_size == 0) {
            stream->writeByteOrderMark();
        }
    }
    return stream;
}

} // namespace ostrevan
