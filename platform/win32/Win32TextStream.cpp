#include "platform/win32/Win32TextStream.h"

#include "platform/Error.h"
#include "platform/ReplacementFile.h"
#include "platform/TextFileStream.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/WindowsApi.h"

#include <algorithm>
#include <climits>

namespace ostrevan {
namespace {

// An open file handle, closed once.
class HandleFile final : public OpenFile {
public:
    explicit HandleFile(HANDLE handle) : m_handle(handle) {}
    ~HandleFile() override {
        if (m_handle != INVALID_HANDLE_VALUE) {
            CloseHandle(m_handle);
        }
    }
    HandleFile(const HandleFile&) = delete;
    HandleFile& operator=(const HandleFile&) = delete;

    std::size_t read(char* data, std::size_t size) override {
        DWORD got = 0;
        if (!ReadFile(m_handle, data, static_cast<DWORD>(std::min<std::size_t>(size, UINT_MAX)),
                      &got, nullptr)) {
            raiseWin32Error(GetLastError(), err::FileNotFound);
        }
        return got;
    }

    void write(const char* data, std::size_t size) override {
        while (size > 0) {
            DWORD written = 0;
            if (!WriteFile(m_handle, data,
                           static_cast<DWORD>(std::min<std::size_t>(size, UINT_MAX)), &written,
                           nullptr)) {
                raiseWin32Error(GetLastError(), err::FileNotFound);
            }
            data += written;
            size -= written;
        }
    }

    void close() override {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        if (!CloseHandle(handle)) {
            raiseWin32Error(GetLastError(), err::FileNotFound);
        }
    }

private:
    HANDLE m_handle;
};

struct OpenWay {
    DWORD access;
    DWORD disposition;
};

OpenWay openWay(int ioMode, bool create) {
    switch (ioMode) {
    case io::ForReading:
        return {GENERIC_READ, static_cast<DWORD>(create ? OPEN_ALWAYS : OPEN_EXISTING)};
    case io::ForAppending:
        return {FILE_APPEND_DATA, static_cast<DWORD>(create ? OPEN_ALWAYS : OPEN_EXISTING)};
    default:
        raise(err::InvalidCall);
    }
}

// A new file that replaces the old one only when it is complete.
std::unique_ptr<TextStream> openForWriting(const std::string& path, bool create,
                                           TextEncoding encoding) {
    if (!create && GetFileAttributesW(longPath(path).c_str()) == INVALID_FILE_ATTRIBUTES) {
        raiseWin32Error(GetLastError(), err::FileNotFound);
    }
    return textStreamReplacing(openReplacementFile(path), encoding);
}

} // namespace

std::unique_ptr<TextStream> openWin32TextStream(const std::string& path, int ioMode, bool create,
                                                int format) {
    const TextEncoding encoding = textEncoding(format);
    if (path.empty()) {
        raise(err::FileNotFound);
    }
    if (ioMode == io::ForWriting) {
        return openForWriting(path, create, encoding);
    }
    const OpenWay way = openWay(ioMode, create);
    const HANDLE handle =
        CreateFileW(longPath(path).c_str(), way.access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    way.disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        raiseWin32Error(GetLastError(), err::FileNotFound);
    }
    auto file = std::make_unique<HandleFile>(handle);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle, &size)) {
        raiseWin32Error(GetLastError(), err::FileNotFound);
    }
    return textStreamOn(std::move(file), ioMode, encoding, size.QuadPart == 0);
}

} // namespace ostrevan
