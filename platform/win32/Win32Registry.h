#pragma once

#include "platform/RegistryFunctions.h"

#include <cstdint>
#include <map>

struct HKEY__;

namespace ostrevan {

// The registry functions as the real advapi32 and kernel32 ANSI calls. Keys this object opens
// get small handle numbers of their own (a Windows key handle is a pointer); the predefined
// roots are the Windows values. Every out-value is written only where Windows writes it.
// Not for use from two threads at once.
class Win32Registry final : public RegistryFunctions {
public:
    Win32Registry() = default;
    ~Win32Registry() override;
    Win32Registry(const Win32Registry&) = delete;
    Win32Registry& operator=(const Win32Registry&) = delete;

    // GetLastError: what a call that reports failure only by its result left.
    std::uint32_t lastError() const;

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
    // The Windows key behind hKey; nullptr for a handle this object does not know.
    HKEY__* keyOf(HKEY hKey) const;
    // Where Windows is to put the new key: key, set to a value Windows never writes, or
    // nowhere when the caller gave no place.
    HKEY__** keySlot(HKEY* phkResult, HKEY__*& key);
    // Opened or created: hands out a number for key, or passes on a NULL that Windows left
    // on failure (a slot Windows left alone stays as the caller had it).
    std::int32_t answerOpened(long result, HKEY__* key, HKEY* phkResult);

    std::map<HKEY, HKEY__*> m_keys;
    HKEY m_nextHandle = 0x100;
};

} // namespace ostrevan
