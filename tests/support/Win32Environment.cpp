#include "tests/support/Environment.h"

#include "platform/win32/Wide.h"
#include "platform/win32/WindowsApi.h"

namespace ostrevan::test {

// The process's environment block, which the Windows functions read (the C runtime keeps a
// copy of its own).
std::optional<std::string> environmentVariable(const std::string& name) {
    const std::wstring wideName = wideText(name);
    const DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0) {
        return std::nullopt;
    }
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(wideName.c_str(), value.data(), size));
    return utf8Text(value);
}

void setEnvironmentVariable(const std::string& name, const std::optional<std::string>& value) {
    SetEnvironmentVariableW(wideText(name).c_str(), value ? wideText(*value).c_str() : nullptr);
}

} // namespace ostrevan::test
