#pragma once

#include "platform/FileSystem.h"

#include <cstddef>
#include <memory>

namespace ostrevan {

class ReplacementFile;

// One open file of the system under a text stream. Each member raises the runtime's error
// when the system call fails.
class OpenFile {
public:
    virtual ~OpenFile() = default;
    // Up to size bytes into data; 0 at the end of the file.
    virtual std::size_t read(char* data, std::size_t size) = 0;
    // All size bytes.
    virtual void write(const char* data, std::size_t size) = 0;
    // Closes the file; the object is not used after.
    virtual void close() = 0;
};

enum class TextEncoding { Ansi, Utf16 };

// The encoding of OpenTextFile's format: io::TristateFalse and io::TristateUseDefault are
// Windows-1252 bytes, io::TristateTrue UTF-16LE with a byte-order mark; anything else raises 5.
TextEncoding textEncoding(int format);

// The text stream over an opened file: Write, ReadLine (a line ends at CR LF, LF or CR),
// AtEndOfStream and Close as the Scripting Runtime has them; a Unicode file read skips its
// byte-order mark, one written from its start (emptyFile) gets one. A stream ForWriting that
// is destroyed before Close, or whose last writes fail, does not close its file.
std::unique_ptr<TextStream> textStreamOn(std::unique_ptr<OpenFile> file, int ioMode,
                                         TextEncoding encoding, bool emptyFile);

// The stream ForWriting into a replacement file: Close puts it in the target's place; until
// then, and whenever writing fails, the old file stays as it was.
std::unique_ptr<TextStream> textStreamReplacing(std::unique_ptr<ReplacementFile> file,
                                                TextEncoding encoding);

} // namespace ostrevan
