#pragma once

#include <cstdint>

namespace ostrevan {

// The Windows registry and system functions the registry class calls, in the shape of their
// ANSI forms (advapi32, kernel32, shell32). Every text and every byte buffer is
// Windows-1252, one byte a character; names are NUL-terminated, and a null name is the empty
// name. Out-pointers may be null where Windows allows it. The functions return the Win32
// codes below and never throw.

// A key handle; the predefined roots are fixed values, opened handles are numbers the backend
// hands out.
using HKEY = std::uint32_t;

namespace hkey {
inline constexpr HKEY ClassesRoot = 0x80000000;
inline constexpr HKEY CurrentUser = 0x80000001;
inline constexpr HKEY LocalMachine = 0x80000002;
} // namespace hkey

// Value type codes.
namespace regtype {
inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t Sz = 1;
inline constexpr std::uint32_t ExpandSz = 2;
inline constexpr std::uint32_t Binary = 3;
inline constexpr std::uint32_t Dword = 4;
inline constexpr std::uint32_t DwordBigEndian = 5;
inline constexpr std::uint32_t Link = 6;
inline constexpr std::uint32_t MultiSz = 7;
} // namespace regtype

// Access rights of a key handle.
namespace keyaccess {
inline constexpr std::uint32_t QueryValue = 0x0001;
inline constexpr std::uint32_t SetValue = 0x0002;
inline constexpr std::uint32_t CreateSubKey = 0x0004;
inline constexpr std::uint32_t EnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t ReadControlQuery = 0x20001; // READ_CONTROL | KEY_QUERY_VALUE
inline constexpr std::uint32_t RequiredSetValue = 0xF0002; // STANDARD_RIGHTS_REQUIRED | SET
inline constexpr std::uint32_t AllAccess = 0xF003F;        // KEY_ALL_ACCESS
} // namespace keyaccess

// Win32 error codes the functions return.
namespace winerror {
inline constexpr std::int32_t Success = 0;
inline constexpr std::int32_t FileNotFound = 2;
inline constexpr std::int32_t AccessDenied = 5;
inline constexpr std::int32_t InvalidHandle = 6;
inline constexpr std::int32_t NotEnoughMemory = 8;
inline constexpr std::int32_t LockViolation = 33;
inline constexpr std::int32_t InvalidParameter = 87;
inline constexpr std::int32_t DiskFull = 112;
inline constexpr std::int32_t BadPathname = 161;
inline constexpr std::int32_t InsufficientBuffer = 122;
inline constexpr std::int32_t MoreData = 234;
inline constexpr std::int32_t NoMoreItems = 259;
inline constexpr std::int32_t MessageNotFound = 317;
inline constexpr std::int32_t BadDatabase = 1009; // ERROR_BADDB
inline constexpr std::int32_t CannotOpen = 1011;  // ERROR_CANTOPEN
inline constexpr std::int32_t CannotRead = 1012;  // ERROR_CANTREAD
inline constexpr std::int32_t CannotWrite = 1013; // ERROR_CANTWRITE
} // namespace winerror

// RegCreateKeyEx's disposition.
inline constexpr std::uint32_t RegCreatedNewKey = 1;
inline constexpr std::uint32_t RegOpenedExistingKey = 2;

// FormatMessage's flag for the system's message table.
inline constexpr std::uint32_t FormatMessageFromSystem = 0x1000;

struct FileTime {
    std::uint32_t dwLowDateTime = 0;
    std::uint32_t dwHighDateTime = 0;
};

class RegistryFunctions {
public:
    virtual ~RegistryFunctions() = default;

    // 0 and the new handle in *phkResult; 2 when the key does not exist; 161 for a path that
    // begins with a separator, 87 for an empty level inside it or a level over 255
    // characters. Separators at the path's end are ignored.
    virtual std::int32_t RegOpenKeyEx(HKEY hKey, const char* lpSubKey, std::uint32_t ulOptions,
                                      std::uint32_t samDesired, HKEY* phkResult) = 0;
    // Creates every missing level of lpSubKey at once; *lpdwDisposition (if given) tells
    // whether the key was created or opened. 87 for a key more than 512 levels below its
    // root; paths as for RegOpenKeyEx.
    virtual std::int32_t RegCreateKeyEx(HKEY hKey, const char* lpSubKey, std::uint32_t Reserved,
                                        const char* lpClass, std::uint32_t dwOptions,
                                        std::uint32_t samDesired, const void* lpSecurityAttributes,
                                        HKEY* phkResult, std::uint32_t* lpdwDisposition) = 0;
    // With lpData null: the type and size only. 234 when *lpcbData is too small (the size
    // needed is stored); 2 when the value does not exist.
    virtual std::int32_t RegQueryValueEx(HKEY hKey, const char* lpValueName,
                                         std::uint32_t* lpReserved, std::uint32_t* lpType,
                                         unsigned char* lpData, std::uint32_t* lpcbData) = 0;
    // Writes the cbData bytes with the type code as given; text types (1, 2, 7) whose bytes
    // do not end in a NUL get one. 87 for a name over 16,383 characters.
    virtual std::int32_t RegSetValueEx(HKEY hKey, const char* lpValueName, std::uint32_t Reserved,
                                       std::uint32_t dwType, const unsigned char* lpData,
                                       std::uint32_t cbData) = 0;
    virtual std::int32_t RegDeleteValue(HKEY hKey, const char* lpValueName) = 0;
    // Counts and maximum lengths; names in characters without terminator, data in bytes.
    // Any handle may ask, whatever its access rights.
    virtual std::int32_t
    RegQueryInfoKey(HKEY hKey, char* lpClass, std::uint32_t* lpcchClass, std::uint32_t* lpReserved,
                    std::uint32_t* lpcSubKeys, std::uint32_t* lpcbMaxSubKeyLen,
                    std::uint32_t* lpcbMaxClassLen, std::uint32_t* lpcValues,
                    std::uint32_t* lpcbMaxValueNameLen, std::uint32_t* lpcbMaxValueLen,
                    std::uint32_t* lpcbSecurityDescriptor, FileTime* lpftLastWriteTime) = 0;
    // Subkeys in order of their names without regard to case; 259 past the end.
    virtual std::int32_t RegEnumKeyEx(HKEY hKey, std::uint32_t dwIndex, char* lpName,
                                      std::uint32_t* lpcchName, std::uint32_t* lpReserved,
                                      char* lpClass, std::uint32_t* lpcchClass,
                                      FileTime* lpftLastWriteTime) = 0;
    // Values in the order they were first written; 259 past the end. A name buffer too small
    // gets the name cut to it, with its NUL, and 234.
    virtual std::int32_t RegEnumValue(HKEY hKey, std::uint32_t dwIndex, char* lpValueName,
                                      std::uint32_t* lpcchValueName, std::uint32_t* lpReserved,
                                      std::uint32_t* lpType, unsigned char* lpData,
                                      std::uint32_t* lpcbData) = 0;
    virtual std::int32_t RegCloseKey(HKEY hKey) = 0;

    // The characters the expansion needs, terminator included; writes at most nSize of them.
    virtual std::uint32_t ExpandEnvironmentStrings(const char* lpSrc, char* lpDst,
                                                   std::uint32_t nSize) = 0;
    // Characters stored without the terminator; 0 when there is no text for the code.
    virtual std::uint32_t FormatMessage(std::uint32_t dwFlags, const void* lpSource,
                                        std::uint32_t dwMessageId, std::uint32_t dwLanguageId,
                                        char* lpBuffer, std::uint32_t nSize,
                                        const void* Arguments) = 0;

    // The instance handle of the running program (GetModuleHandle with no module name).
    virtual std::uintptr_t GetModuleHandle(const char* lpModuleName) = 0;
    // An icon handle for icon nIconIndex of the file, 0 when it has none at that index.
    virtual std::int32_t ExtractIcon(std::uintptr_t hInst, const char* lpszExeFileName,
                                     std::int32_t nIconIndex) = 0;
};

} // namespace ostrevan
