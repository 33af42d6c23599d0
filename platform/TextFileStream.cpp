#include "platform/TextFileStream.h"

#include "platform/Error.h"
#include "platform/ReplacementFile.h"
#include "platform/Text.h"

#include <optional>
#include <span>

namespace ostrevan {
namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr std::int32_t kBadFileMode = 54;
constexpr std::int32_t kInputPastEnd = 62;

std::string utf16Bytes(std::string_view utf8) {
    const std::vector<std::uint8_t> bytes = toUtf16Le(utf8);
    return std::string(bytes.begin(), bytes.end());
}

std::string utf8FromUtf16(std::string_view bytes) {
    return fromUtf16Le(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

// A replacement file seen as the file a stream writes: closing it puts it in the target's place.
class ReplacingFile final : public OpenFile {
public:
    explicit ReplacingFile(std::unique_ptr<ReplacementFile> file) : m_file(std::move(file)) {}

    std::size_t read(char*, std::size_t) override { raise(kBadFileMode); }
    void write(const char* data, std::size_t size) override {
        m_file->write(std::string_view(data, size));
    }
    void close() override { m_file->commit(); }

private:
    std::unique_ptr<ReplacementFile> m_file;
};

class FileTextStream final : public TextStream {
public:
    FileTextStream(std::unique_ptr<OpenFile> file, int ioMode, TextEncoding encoding)
        : m_file(std::move(file)), m_reading(ioMode == io::ForReading),
          m_replacing(ioMode == io::ForWriting), m_unicode(encoding == TextEncoding::Utf16),
          m_unit(m_unicode ? 2 : 1) {}
    FileTextStream(const FileTextStream&) = delete;
    FileTextStream& operator=(const FileTextStream&) = delete;

    // Without Close a replacement is dropped and the old file stays as it was.
    ~FileTextStream() override {
        if (!m_file || m_replacing) {
            return;
        }
        // An error here has nowhere to go; Close reports it to callers who ask.
        (void)trapError([this] { flush(); });
        (void)trapError([this] { m_file->close(); });
    }

    void Write(const std::string& text) override {
        if (!m_file || m_reading) {
            raise(kBadFileMode);
        }
        m_out += m_unicode ? utf16Bytes(text) : toWindows1252(text);
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
        return m_unicode ? utf8FromUtf16(raw) : fromWindows1252(raw);
    }

    bool AtEndOfStream() const override {
        requireReading();
        return !unitAvailable();
    }

    void Close() override {
        if (!m_file) {
            return;
        }
        const std::unique_ptr<OpenFile> file = std::move(m_file);
        const std::optional<Error> flushError = trapError([this, &file] { flush(*file); });
        // A replacement not written whole never takes the old file's place.
        if (flushError && m_replacing) {
            throw *flushError;
        }
        const std::optional<Error> closeError = trapError([&file] { file->close(); });
        if (flushError) {
            throw *flushError;
        }
        if (closeError) {
            throw *closeError;
        }
    }

    // A Unicode file read from its start: its byte-order mark is no text.
    void skipByteOrderMark() {
        if (m_unicode && unitAvailable() && unitAt(m_pos) == u'\uFEFF') {
            m_pos += m_unit;
        }
    }

    // A Unicode file written from its start begins with a byte-order mark.
    void writeByteOrderMark() { m_out += std::string("\xFF\xFE", 2); }

private:
    void requireReading() const {
        if (!m_file || !m_reading) {
            raise(kBadFileMode);
        }
    }

    void flush() { flush(*m_file); }

    // Writes out the buffer; on failure what was not written is dropped, so that a later
    // flush does not repeat the error.
    void flush(OpenFile& file) {
        const std::string out = std::move(m_out);
        m_out.clear();
        if (!out.empty()) {
            file.write(out.data(), out.size());
        }
    }

    // Whether a whole unit lies ahead, reading more of the file when needed. Reading does not
    // change what the stream holds for its callers, hence const.
    bool unitAvailable() const {
        while (m_in.size() - m_pos < m_unit && !m_atEnd) {
            m_in.erase(0, m_pos);
            m_pos = 0;
            const std::size_t kept = m_in.size();
            m_in.resize(kept + kChunk);
            std::size_t got = 0;
            const std::optional<Error> failure =
                trapError([&] { got = m_file->read(m_in.data() + kept, kChunk); });
            m_in.resize(kept + got);
            if (failure) {
                throw *failure;
            }
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

    std::unique_ptr<OpenFile> m_file;
    bool m_reading;
    bool m_replacing;
    bool m_unicode;
    std::size_t m_unit;
    std::string m_out;
    mutable std::string m_in;
    mutable std::size_t m_pos = 0;
    mutable bool m_atEnd = false;
};

} // namespace

TextEncoding textEncoding(int format) {
    switch (format) {
    case io::TristateFalse:
    case io::TristateUseDefault:
        return TextEncoding::Ansi;
    case io::TristateTrue:
        return TextEncoding::Utf16;
    default:
        raise(err::InvalidCall);
    }
}

std::unique_ptr<TextStream> textStreamOn(std::unique_ptr<OpenFile> file, int ioMode,
                                         TextEncoding encoding, bool emptyFile) {
    auto stream = std::make_unique<FileTextStream>(std::move(file), ioMode, encoding);
    if (encoding == TextEncoding::Utf16) {
        if (ioMode == io::ForReading) {
            stream->skipByteOrderMark();
        } else if (ioMode == io::ForWriting || emptyFile) {
            stream->writeByteOrderMark();
        }
    }
    return stream;
}

std::unique_ptr<TextStream> textStreamReplacing(std::unique_ptr<ReplacementFile> file,
                                                TextEncoding encoding) {
    return textStreamOn(std::make_unique<ReplacingFile>(std::move(file)), io::ForWriting, encoding,
                        true);
}

} // namespace ostrevan
