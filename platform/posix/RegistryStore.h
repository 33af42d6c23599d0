#pragma once

#include "platform/RegistryFunctions.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace ostrevan {

class RegistryDatabase;
struct StoredValue;

// The registry functions over a per-user SQLite store. Two programs may share one store: every
// write is committed before the call returns, and a read sees what the other has committed. A
// store that cannot be opened makes every open fail with a code (1011 cannot open, 1009 not a
// store); a read-only file answers every write with 5. Not for use from two threads at once.
class RegistryStore final : public RegistryFunctions {
public:
    explicit RegistryStore(const std::string& path);
    ~RegistryStore() override;
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    // The user's store: registry.sqlite3 in the configuration folder.
    static std::string defaultPath();

    // Runs steps, which call the functions below and return a Win32 code, as one transaction:
    // their writes are stored together when they return 0, and none of them when they
    // return anything else, when a write fails or when the program dies before the end.
    // Handles opened inside to keys that are not stored then name nothing.
    std::int32_t allOrNothing(const std::function<std::int32_t()>& steps);

    // Runs steps, which only read through the functions below and return a Win32 code, on one
    // snapshot of the store: what they read fits together even while another program
    // writes, and many reads cost less.
    std::int32_t oneView(const std::function<std::int32_t()>& steps);

    // What GetLastError would answer after a call that reports failure only by its result.
    std::uint32_t lastError() const { return m_lastError; }

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
    // An .ico, .png or .svg file has one icon, at index 0; any other file has the icons that
    // the DefaultIcon locations of HKEY_CLASSES_ROOT name for it.
    std::int32_t ExtractIcon(std::uintptr_t hInst, const char* lpszExeFileName,
                             std::int32_t nIconIndex) override;

private:
    struct OpenKey {
        std::int64_t id = 0;
        std::uint32_t access = 0;
        std::size_t depth = 0; // levels below the root
    };
    // 0 and the key behind hKey, or the code to answer with.
    std::int32_t keyOf(HKEY hKey, std::uint32_t accessNeeded, OpenKey* key) const;
    // 0 and the key at lpSubKey below hKey, or the code to answer with; parent and levels
    // are filled on the way, for a key still to be made.
    std::int32_t findSubKey(HKEY hKey, const char* lpSubKey, OpenKey* parent,
                            std::vector<std::string>* levels, std::int64_t* id) const;
    // 0 and the values of the key behind hKey, opened for querying, or the code to answer with.
    std::int32_t valuesOf(HKEY hKey, std::shared_ptr<const std::vector<StoredValue>>* values) const;
    HKEY addHandle(const OpenKey& key);
    bool hasIconAt(const std::string& file, std::int32_t index);

    std::unique_ptr<RegistryDatabase> m_database;
    std::unordered_map<HKEY, OpenKey> m_handles;
    HKEY m_nextHandle = 0x100;
    std::uint32_t m_lastError = 0;
};

} // namespace ostrevan
