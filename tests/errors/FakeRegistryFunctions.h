#pragma once

#include "platform/RegistryFunctions.h"

#include <cstdint>
#include <map>
#include <string>

namespace ostrevan::fakes {

// Keys of HKEY_LOCAL_MACHINE with their values, read-only, with faults to inject. Names and
// data are Windows-1252 bytes; key paths compare exactly. Members a read never calls answer
// 87 (invalid parameter) or nothing.
class FakeRegistryFunctions final : public RegistryFunctions {
public:
    void addText(const std::string& key, const std::string& name, const std::string& text);
    void addDword(const std::string& key, const std::string& name, std::uint32_t value);
    // Texts separated by NULs; the list's closing NULs are added.
    void addMultiText(const std::string& key, const std::string& name, const std::string& texts);

    std::int32_t openFailsWith = 0;     // what RegOpenKeyEx answers instead of success
    std::int32_t dataReadFailsWith = 0; // what a query with a buffer answers instead
    int openHandles() const { return static_cast<int>(m_open.size()); }

    std::int32_t RegOpenKeyEx(HKEY hKey, const char* lpSubKey, std::uint32_t ulOptions,
                              std::uint32_t samDesired, HKEY* phkResult) override;
    std::int32_t RegQueryValueEx(HKEY hKey, const char* lpValueName, std::uint32_t* lpReserved,
                                 std::uint32_t* lpType, unsigned char* lpData,
                                 std::uint32_t* lpcbData) override;
    std::int32_t RegCloseKey(HKEY hKey) override;

    std::int32_t RegCreateKeyEx(HKEY, const char*, std::uint32_t, const char*, std::uint32_t,
                                std::uint32_t, const void*, HKEY*, std::uint32_t*) override {
        return winerror::InvalidParameter;
    }
    std::int32_t RegSetValueEx(HKEY, const char*, std::uint32_t, std::uint32_t,
                               const unsigned char*, std::uint32_t) override {
        return winerror::InvalidParameter;
    }
    std::int32_t RegDeleteValue(HKEY, const char*) override { return winerror::InvalidParameter; }
    std::int32_t RegQueryInfoKey(HKEY, char*, std::uint32_t*, std::uint32_t*, std::uint32_t*,
                                 std::uint32_t*, std::uint32_t*, std::uint32_t*, std::uint32_t*,
                                 std::uint32_t*, std::uint32_t*, FileTime*) override {
        return winerror::InvalidParameter;
    }
    std::int32_t RegEnumKeyEx(HKEY, std::uint32_t, char*, std::uint32_t*, std::uint32_t*, char*,
                              std::uint32_t*, FileTime*) override {
        return winerror::InvalidParameter;
    }
    std::int32_t RegEnumValue(HKEY, std::uint32_t, char*, std::uint32_t*, std::uint32_t*,
                              std::uint32_t*, unsigned char*, std::uint32_t*) override {
        return winerror::InvalidParameter;
    }
    std::uint32_t ExpandEnvironmentStrings(const char*, char*, std::uint32_t) override { return 0; }
    std::uint32_t FormatMessage(std::uint32_t, const void*, std::uint32_t, std::uint32_t, char*,
                                std::uint32_t, const void*) override {
        return 0;
    }
    std::uintptr_t GetModuleHandle(const char*) override { return 1; }
    std::int32_t ExtractIcon(std::uintptr_t, const char*, std::int32_t) override { return 0; }

private:
    struct Value {
        std::uint32_t type = 0;
        std::string data;
    };
    // key path -> value name -> value
    std::map<std::string, std::map<std::string, Value>> m_keys;
    // open handle -> key path
    std::map<HKEY, std::string> m_open;
    HKEY m_nextHandle = 0x100;
};

} // namespace ostrevan::fakes
