#pragma once

#include "platform/RegistryFunctions.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace ostrevan::test {

// Passes every call to a real store and watches it: counts the handles left open, records the
// icons asked for, and answers a chosen call with a chosen code instead.
class RegistryProbe final : public RegistryFunctions {
public:
    explicit RegistryProbe(RegistryFunctions& store) : m_store(store) {}

    // The call number `nth` (from 1) of fn returns code; fn is the function's name.
    void fail(const std::string& fn, std::int32_t code, int nth = 1) {
        m_failures[fn] = {nth, code};
    }
    // FormatMessage finds no text for any code.
    void withoutMessages() { m_noMessages = true; }
    int openHandles() const { return m_open; }
    const std::vector<std::pair<std::string, std::int32_t>>& icons() const { return m_icons; }

    std::int32_t RegOpenKeyEx(HKEY hKey, const char* lpSubKey, std::uint32_t ulOptions,
                              std::uint32_t samDesired, HKEY* phkResult) override;
    std::int32_t RegCreateKeyEx(HKEY hKey, const char* lpSubKey, std::uint32_t Reserved,
                                const char* lpClass, std::uint32_t dwOptions,
                                std::uint32_t samDesired, const void* lpSecurityAttributes,
                                HKEY* phkResult, std::uint32_t* lpdwDisposition) override;
    std::int32_t RegQueryValueEx(HKEY hKey, const char* lpValueName, std::uint32_t* lpReserved,
                                 std::uint32_t* lpType, unsigned char* lpData,
                                 std::uint32_t* lpcbData) override;
    std::int32_t RegSetValueEx(HKEY hKey, const char* lpValueName, std::uint32_t Reserved,
                               std::uint32_t dwType, const unsigned char* lpData,
                               std::uint32_t cbData) override;
    std::int32_t RegDeleteValue(HKEY hKey, const char* lpValueName) override;
    std::int32_t RegQueryInfoKey(HKEY hKey, char* lpClass, std::uint32_t* lpcchClass,
                                 std::uint32_t* lpReserved, std::uint32_t* lpcSubKeys,
                                 std::uint32_t* lpcbMaxSubKeyLen, std::uint32_t* lpcbMaxClassLen,
                                 std::uint32_t* lpcValues, std::uint32_t* lpcbMaxValueNameLen,
                                 std::uint32_t* lpcbMaxValueLen,
                                 std::uint32_t* lpcbSecurityDescriptor,
                                 FileTime* lpftLastWriteTime) override;
    std::int32_t RegEnumKeyEx(HKEY hKey, std::uint32_t dwIndex, char* lpName,
                              std::uint32_t* lpcchName, std::uint32_t* lpReserved, char* lpClass,
                              std::uint32_t* lpcchClass, FileTime* lpftLastWriteTime) override;
    std::int32_t RegEnumValue(HKEY hKey, std::uint32_t dwIndex, char* lpValueName,
                              std::uint32_t* lpcchValueName, std::uint32_t* lpReserved,
                              std::uint32_t* lpType, unsigned char* lpData,
                              std::uint32_t* lpcbData) override;
    std::int32_t RegCloseKey(HKEY hKey) override;
    std::uint32_t ExpandEnvironmentStrings(const char* lpSrc, char* lpDst,
                                           std::uint32_t nSize) override;
    std::uint32_t FormatMessage(std::uint32_t dwFlags, const void* lpSource,
                                std::uint32_t dwMessageId, std::uint32_t dwLanguageId,
                                char* lpBuffer, std::uint32_t nSize,
                                const void* Arguments) override;
    std::uintptr_t GetModuleHandle(const char* lpModuleName) override;
    std::int32_t ExtractIcon(std::uintptr_t hInst, const char* lpszExeFileName,
                             std::int32_t nIconIndex) override;

private:
    // The injected code for this call of fn, or 0 to pass it on.
    std::int32_t injected(const std::string& fn);

    RegistryFunctions& m_store;
    std::map<std::string, std::pair<int, std::int32_t>> m_failures;
    std::map<std::string, int> m_calls;
    bool m_noMessages = false;
    int m_open = 0;
    std::vector<std::pair<std::string, std::int32_t>> m_icons;
};

} // namespace ostrevan::test
