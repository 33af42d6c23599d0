#include "tests/storage/RegistryProbe.h"

namespace ostrevan::test {

std::int32_t RegistryProbe::injected(const std::string& fn) {
    const int call = ++m_calls[fn];
    const auto found = m_failures.find(fn);
    return found != m_failures.end() && found->second.first == call ? found->second.second : 0;
}

std::int32_t RegistryProbe::RegOpenKeyEx(HKEY hKey, const char* lpSubKey, std::uint32_t ulOptions,
                                         std::uint32_t samDesired, HKEY* phkResult) {
    if (const auto code = injected("RegOpenKeyEx")) {
        return code;
    }
    const auto rc = m_store.RegOpenKeyEx(hKey, lpSubKey, ulOptions, samDesired, phkResult);
    m_open += rc == 0 ? 1 : 0;
    return rc;
}

std::int32_t RegistryProbe::RegCreateKeyEx(HKEY hKey, const char* lpSubKey, std::uint32_t Reserved,
                                           const char* lpClass, std::uint32_t dwOptions,
                                           std::uint32_t samDesired,
                                           const void* lpSecurityAttributes, HKEY* phkResult,
                                           std::uint32_t* lpdwDisposition) {
    if (const auto code = injected("RegCreateKeyEx")) {
        return code;
    }
    const auto rc = m_store.RegCreateKeyEx(hKey, lpSubKey, Reserved, lpClass, dwOptions, samDesired,
                                           lpSecurityAttributes, phkResult, lpdwDisposition);
    m_open += rc == 0 ? 1 : 0;
    return rc;
}

std::int32_t RegistryProbe::RegQueryValueEx(HKEY hKey, const char* lpValueName,
                                            std::uint32_t* lpReserved, std::uint32_t* lpType,
                                            unsigned char* lpData, std::uint32_t* lpcbData) {
    if (const auto code = injected("RegQueryValueEx")) {
        return code;
    }
    return m_store.RegQueryValueEx(hKey, lpValueName, lpReserved, lpType, lpData, lpcbData);
}

std::int32_t RegistryProbe::RegSetValueEx(HKEY hKey, const char* lpValueName,
                                          std::uint32_t Reserved, std::uint32_t dwType,
                                          const unsigned char* lpData, std::uint32_t cbData) {
    if (const auto code = injected("RegSetValueEx")) {
        return code;
    }
    return m_store.RegSetValueEx(hKey, lpValueName, Reserved, dwType, lpData, cbData);
}

std::int32_t RegistryProbe::RegDeleteValue(HKEY hKey, const char* lpValueName) {
    if (const auto code = injected("RegDeleteValue")) {
        return code;
    }
    return m_store.RegDeleteValue(hKey, lpValueName);
}

std::int32_t RegistryProbe::RegQueryInfoKey(
    HKEY hKey, char* lpClass, std::uint32_t* lpcchClass, std::uint32_t* lpReserved,
    std::uint32_t* lpcSubKeys, std::uint32_t* lpcbMaxSubKeyLen, std::uint32_t* lpcbMaxClassLen,
    std::uint32_t* lpcValues, std::uint32_t* lpcbMaxValueNameLen, std::uint32_t* lpcbMaxValueLen,
    std::uint32_t* lpcbSecurityDescriptor, FileTime* lpftLastWriteTime) {
    if (const auto code = injected("RegQueryInfoKey")) {
        return code;
    }
    return m_store.RegQueryInfoKey(
        hKey, lpClass, lpcchClass, lpReserved, lpcSubKeys, lpcbMaxSubKeyLen, lpcbMaxClassLen,
        lpcValues, lpcbMaxValueNameLen, lpcbMaxValueLen, lpcbSecurityDescriptor, lpftLastWriteTime);
}

std::int32_t RegistryProbe::RegEnumKeyEx(HKEY hKey, std::uint32_t dwIndex, char* lpName,
                                         std::uint32_t* lpcchName, std::uint32_t* lpReserved,
                                         char* lpClass, std::uint32_t* lpcchClass,
                                         FileTime* lpftLastWriteTime) {
    if (const auto code = injected("RegEnumKeyEx")) {
        return code;
    }
    return m_store.RegEnumKeyEx(hKey, dwIndex, lpName, lpcchName, lpReserved, lpClass, lpcchClass,
                                lpftLastWriteTime);
}

std::int32_t RegistryProbe::RegEnumValue(HKEY hKey, std::uint32_t dwIndex, char* lpValueName,
                                         std::uint32_t* lpcchValueName, std::uint32_t* lpReserved,
                                         std::uint32_t* lpType, unsigned char* lpData,
                                         std::uint32_t* lpcbData) {
    if (const auto code = injected("RegEnumValue")) {
        return code;
    }
    return m_store.RegEnumValue(hKey, dwIndex, lpValueName, lpcchValueName, lpReserved, lpType,
                                lpData, lpcbData);
}

std::int32_t RegistryProbe::RegCloseKey(HKEY hKey) {
    const auto rc = m_store.RegCloseKey(hKey);
    m_open -= rc == 0 && (hKey & 0x80000000U) == 0 ? 1 : 0;
    return rc;
}

std::uint32_t RegistryProbe::ExpandEnvironmentStrings(const char* lpSrc, char* lpDst,
                                                      std::uint32_t nSize) {
    return m_store.ExpandEnvironmentStrings(lpSrc, lpDst, nSize);
}

std::uint32_t RegistryProbe::FormatMessage(std::uint32_t dwFlags, const void* lpSource,
                                           std::uint32_t dwMessageId, std::uint32_t dwLanguageId,
                                           char* lpBuffer, std::uint32_t nSize,
                                           const void* Arguments) {
    return m_noMessages ? 0
                        : m_store.FormatMessage(dwFlags, lpSource, dwMessageId, dwLanguageId,
                                                lpBuffer, nSize, Arguments);
}

std::uintptr_t RegistryProbe::GetModuleHandle(const char* lpModuleName) {
    return m_store.GetModuleHandle(lpModuleName);
}

std::int32_t RegistryProbe::ExtractIcon(std::uintptr_t hInst, const char* lpszExeFileName,
                                        std::int32_t nIconIndex) {
    m_icons.emplace_back(lpszExeFileName, nIconIndex);
    return m_store.ExtractIcon(hInst, lpszExeFileName, nIconIndex);
}

} // namespace ostrevan::test
