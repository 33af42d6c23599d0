#include "platform/win32/Win32Profile.h"

#include "platform/FileSystem.h"
#include "platform/win32/Wide.h"
#include "platform/win32/WindowsApi.h"

#include <climits>
#include <optional>

namespace ostrevan {
namespace {

// A NUL-terminated copy of an argument that may be NULL.
class CString final {
public:
    explicit CString(AnsiArgument text) {
        if (text) {
            m_text.emplace(*text);
        }
    }
    const char* get() const { return m_text ? m_text->c_str() : nullptr; }

private:
    std::optional<std::string> m_text;
};

} // namespace

std::uint32_t Win32Profile::GetPrivateProfileInt(std::string_view lpAppName,
                                                 std::string_view lpKeyName, std::int32_t nDefault,
                                                 std::string_view lpFileName) const {
    return ::GetPrivateProfileIntA(CString(lpAppName).get(), CString(lpKeyName).get(), nDefault,
                                   CString(lpFileName).get());
}

std::uint32_t Win32Profile::GetPrivateProfileString(AnsiArgument lpAppName, AnsiArgument lpKeyName,
                                                    AnsiArgument lpDefault,
                                                    std::span<char> lpReturnedString,
                                                    std::string_view lpFileName) const {
    const auto size = static_cast<DWORD>(std::min<std::size_t>(lpReturnedString.size(), UINT_MAX));
    return ::GetPrivateProfileStringA(CString(lpAppName).get(), CString(lpKeyName).get(),
                                      CString(lpDefault).get(), lpReturnedString.data(), size,
                                      CString(lpFileName).get());
}

bool Win32Profile::WritePrivateProfileString(std::string_view lpAppName, AnsiArgument lpKeyName,
                                             AnsiArgument lpString, std::string_view lpFileName) {
    return ::WritePrivateProfileStringA(CString(lpAppName).get(), CString(lpKeyName).get(),
                                        CString(lpString).get(), CString(lpFileName).get()) != 0;
}

std::string Win32Profile::ProfilePath(std::string_view fileName) const {
    if (fileName.empty() || fileName.find_first_of("\\/") != std::string_view::npos) {
        return std::string(fileName);
    }
    std::wstring folder(MAX_PATH, L'\0');
    folder.resize(GetWindowsDirectoryW(folder.data(), MAX_PATH));
    return FileSystem::BuildPath(utf8Text(folder), fileName);
}

} // namespace ostrevan
