#include "platform/win32/Win32Registry.h"

#include "platform/win32/WindowsApi.h"

namespace ostrevan {
namespace {

// An optional in/out number of the interface as the DWORD that Windows takes; written back
// when the object goes, so that a value Windows leaves alone stays as the caller had it.
class DwordArgument final {
public:
    explicit DwordArgument(std::uint32_t* target)
        : m_target(target), m_value(target != nullptr ? *target : 0) {}
    ~DwordArgument() {
        if (m_target != nullptr) {
            *m_target = static_cast<std::uint32_t>(m_value);
        }
    }
    DwordArgument(const DwordArgument&) = delete;
    DwordArgument& operator=(const DwordArgument&) = delete;

    DWORD* get() { return m_target != nullptr ? &m_value : nullptr; }

private:
    std::uint32_t* m_target;
    DWORD m_value;
};

class FileTimeArgument final {
public:
    explicit FileTimeArgument(FileTime* target) : m_target(target) {
        if (target != nullptr) {
            m_value = {target->dwLowDateTime, target->dwHighDateTime};
        }
    }
    ~FileTimeArgument() {
        if (m_target != nullptr) {
            *m_target = {m_value.dwLowDateTime, m_value.dwHighDateTime};
        }
    }
    FileTimeArgument(const FileTimeArgument&) = delete;
    FileTimeArgument& operator=(const FileTimeArgument&) = delete;

    FILETIME* get() { return m_target != nullptr ? &m_value : nullptr; }

private:
    FileTime* m_target;
    FILETIME m_value{};
};

bool isPredefined(HKEY hKey) {
    return hKey >= hkey::ClassesRoot && hKey <= 0x80000006;
}

} // namespace

Win32Registry::~Win32Registry() {
    for (const auto& [handle, key] : m_keys) {
        ::RegCloseKey(key);
    }
}

std::uint32_t Win32Registry::lastError() const {
    return GetLastError();
}

HKEY__* Win32Registry::keyOf(HKEY hKey) const {
    if (isPredefined(hKey)) {
        // The predefined handles are the 32-bit values sign-extended to a pointer.
        return reinterpret_cast<HKEY__*>(
            static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<std::int32_t>(hKey))));
    }
    const auto found = m_keys.find(hKey);
    return found != m_keys.end() ? found->second : nullptr;
}

std::int32_t Win32Registry::answerOpened(long result, HKEY__* key, HKEY* phkResult) {
    if (phkResult == nullptr) {
        return static_cast<std::int32_t>(result);
    }
    if (result == ERROR_SUCCESS) {
        const HKEY handle = m_nextHandle++;
        m_keys.emplace(handle, key);
        *phkResult = handle;
    } else if (key == nullptr) {
        *phkResult = 0;
    }
    return static_cast<std::int32_t>(result);
}

HKEY__** Win32Registry::keySlot(HKEY* phkResult, HKEY__*& key) {
    // Anything but NULL, so that a failure that leaves the slot alone shows.
    key = reinterpret_cast<HKEY__*>(this);
    return phkResult != nullptr ? &key : nullptr;
}

std::int32_t Win32Registry::RegOpenKeyEx(HKEY hKey, const char* lpSubKey, std::uint32_t ulOptions,
                                         std::uint32_t samDesired, HKEY* phkResult) {
    HKEY__* const parent = keyOf(hKey);
    if (parent == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    HKEY__* key = nullptr;
    HKEY__** const slot = keySlot(phkResult, key);
    const LONG result = ::RegOpenKeyExA(parent, lpSubKey, ulOptions, samDesired, slot);
    return answerOpened(result, key, phkResult);
}

std::int32_t Win32Registry::RegCreateKeyEx(HKEY hKey, const char* lpSubKey, std::uint32_t Reserved,
                                           const char* lpClass, std::uint32_t dwOptions,
                                           std::uint32_t samDesired,
                                           const void* lpSecurityAttributes, HKEY* phkResult,
                                           std::uint32_t* lpdwDisposition) {
    HKEY__* const parent = keyOf(hKey);
    if (parent == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    HKEY__* key = nullptr;
    HKEY__** const slot = keySlot(phkResult, key);
    DwordArgument disposition(lpdwDisposition);
    const LONG result = ::RegCreateKeyExA(
        parent, lpSubKey, Reserved, const_cast<char*>(lpClass), dwOptions, samDesired,
        static_cast<SECURITY_ATTRIBUTES*>(const_cast<void*>(lpSecurityAttributes)), slot,
        disposition.get());
    return answerOpened(result, key, phkResult);
}

std::int32_t Win32Registry::RegQueryValueEx(HKEY hKey, const char* lpValueName,
                                            std::uint32_t* lpReserved, std::uint32_t* lpType,
                                            unsigned char* lpData, std::uint32_t* lpcbData) {
    DwordArgument reserved(lpReserved);
    DwordArgument type(lpType);
    DwordArgument size(lpcbData);
    return ::RegQueryValueExA(keyOf(hKey), lpValueName, reserved.get(), type.get(), lpData,
                              size.get());
}

std::int32_t Win32Registry::RegSetValueEx(HKEY hKey, const char* lpValueName,
                                          std::uint32_t Reserved, std::uint32_t dwType,
                                          const unsigned char* lpData, std::uint32_t cbData) {
    return ::RegSetValueExA(keyOf(hKey), lpValueName, Reserved, dwType, lpData, cbData);
}

std::int32_t Win32Registry::RegDeleteValue(HKEY hKey, const char* lpValueName) {
    return ::RegDeleteValueA(keyOf(hKey), lpValueName);
}

std::int32_t Win32Registry::RegQueryInfoKey(
    HKEY hKey, char* lpClass, std::uint32_t* lpcchClass, std::uint32_t* lpReserved,
    std::uint32_t* lpcSubKeys, std::uint32_t* lpcbMaxSubKeyLen, std::uint32_t* lpcbMaxClassLen,
    std::uint32_t* lpcValues, std::uint32_t* lpcbMaxValueNameLen, std::uint32_t* lpcbMaxValueLen,
    std::uint32_t* lpcbSecurityDescriptor, FileTime* lpftLastWriteTime) {
    DwordArgument classLength(lpcchClass);
    DwordArgument reserved(lpReserved);
    DwordArgument subKeys(lpcSubKeys);
    DwordArgument maxSubKey(lpcbMaxSubKeyLen);
    DwordArgument maxClass(lpcbMaxClassLen);
    DwordArgument values(lpcValues);
    DwordArgument maxValueName(lpcbMaxValueNameLen);
    DwordArgument maxValue(lpcbMaxValueLen);
    DwordArgument security(lpcbSecurityDescriptor);
    FileTimeArgument written(lpftLastWriteTime);
    return ::RegQueryInfoKeyA(keyOf(hKey), lpClass, classLength.get(), reserved.get(),
                              subKeys.get(), maxSubKey.get(), maxClass.get(), values.get(),
                              maxValueName.get(), maxValue.get(), security.get(), written.get());
}

std::int32_t Win32Registry::RegEnumKeyEx(HKEY hKey, std::uint32_t dwIndex, char* lpName,
                                         std::uint32_t* lpcchName, std::uint32_t* lpReserved,
                                         char* lpClass, std::uint32_t* lpcchClass,
                                         FileTime* lpftLastWriteTime) {
    DwordArgument nameLength(lpcchName);
    DwordArgument reserved(lpReserved);
    DwordArgument classLength(lpcchClass);
    FileTimeArgument written(lpftLastWriteTime);
    return ::RegEnumKeyExA(keyOf(hKey), dwIndex, lpName, nameLength.get(), reserved.get(), lpClass,
                           classLength.get(), written.get());
}

std::int32_t Win32Registry::RegEnumValue(HKEY hKey, std::uint32_t dwIndex, char* lpValueName,
                                         std::uint32_t* lpcchValueName, std::uint32_t* lpReserved,
                                         std::uint32_t* lpType, unsigned char* lpData,
                                         std::uint32_t* lpcbData) {
    DwordArgument nameLength(lpcchValueName);
    DwordArgument reserved(lpReserved);
    DwordArgument type(lpType);
    DwordArgument size(lpcbData);
    return ::RegEnumValueA(keyOf(hKey), dwIndex, lpValueName, nameLength.get(), reserved.get(),
                           type.get(), lpData, size.get());
}

std::int32_t Win32Registry::RegCloseKey(HKEY hKey) {
    if (isPredefined(hKey)) {
        return ::RegCloseKey(keyOf(hKey));
    }
    const auto found = m_keys.find(hKey);
    if (found == m_keys.end()) {
        return ERROR_INVALID_HANDLE;
    }
    const LONG result = ::RegCloseKey(found->second);
    m_keys.erase(found);
    return result;
}

std::uint32_t Win32Registry::ExpandEnvironmentStrings(const char* lpSrc, char* lpDst,
                                                      std::uint32_t nSize) {
    return ::ExpandEnvironmentStringsA(lpSrc, lpDst, nSize);
}

std::uint32_t Win32Registry::FormatMessage(std::uint32_t dwFlags, const void* lpSource,
                                           std::uint32_t dwMessageId, std::uint32_t dwLanguageId,
                                           char* lpBuffer, std::uint32_t nSize,
                                           const void* Arguments) {
    return ::FormatMessageA(dwFlags, lpSource, dwMessageId, dwLanguageId, lpBuffer, nSize,
                            static_cast<va_list*>(const_cast<void*>(Arguments)));
}

std::uintptr_t Win32Registry::GetModuleHandle(const char* lpModuleName) {
    return reinterpret_cast<std::uintptr_t>(::GetModuleHandleA(lpModuleName));
}

std::int32_t Win32Registry::ExtractIcon(std::uintptr_t hInst, const char* lpszExeFileName,
                                        std::int32_t nIconIndex) {
    // Icon handles are 32-bit values, also in a 64-bit process.
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(::ExtractIconA(
        reinterpret_cast<HINSTANCE>(hInst), lpszExeFileName, static_cast<UINT>(nIconIndex))));
}

} // namespace ostrevan
