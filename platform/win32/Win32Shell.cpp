#include "platform/win32/Win32Shell.h"

#include "platform/win32/Wide.h"
#include "platform/win32/WindowsApi.h"

namespace ostrevan {

bool Win32Shell::execute(const std::string& verb, const std::string& file) {
    const HINSTANCE result = ShellExecuteW(nullptr, wideText(verb).c_str(), wideText(file).c_str(),
                                           L"", L"", SW_SHOWNORMAL);
    // Values above 32 mean success.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace ostrevan
