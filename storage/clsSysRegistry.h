#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace ostrevan {

class RegistryFunctions;

// EnumValues' result: table[0][i] is the name of value i, table[1][i] its type code in decimal.
using RegistryTable = std::array<std::vector<std::string>, 2>;

// What GetRegistryValue returns and SetRegistryValue takes: empty, text, 32-bit integer,
// list of texts or table of texts. Raw bytes (REG_BINARY) travel as text, one character a byte.
using RegistryValue = std::variant<std::monostate, std::string, std::int32_t,
                                   std::vector<std::string>, RegistryTable>;

bool isEmpty(const RegistryValue& value);
// Empty gives "", an integer its decimal digits; a list or table raises 13.
std::string toText(const RegistryValue& value);
// Empty gives 0; text is parsed as a number (13 when it is none, 6 out of range, halves to
// even); a list or table raises 13.
std::int32_t toInt32(const RegistryValue& value);

// The root keys as the class takes them (HKEY_CLASSES_ROOT, HKEY_CURRENT_USER,
// HKEY_LOCAL_MACHINE).
namespace regroot {
inline constexpr std::int32_t ClassesRoot = static_cast<std::int32_t>(0x80000000);
inline constexpr std::int32_t CurrentUser = static_cast<std::int32_t>(0x80000001);
inline constexpr std::int32_t LocalMachine = static_cast<std::int32_t>(0x80000002);
} // namespace regroot

// The registry as a library class: every member opens the key it needs and closes it before it
// returns; nothing is cached. Errors leave with the source "cSysRegistry:" + the innermost
// member. Texts are UTF-8 here and Windows-1252 at the registry functions.
class clsSysRegistry final {
public:
    explicit clsSysRegistry(RegistryFunctions& registry);

    bool HasKey(std::int32_t lngHKEY, const std::string& strKey,
                const std::optional<RegistryValue>& strValue = std::nullopt);
    RegistryValue GetRegistryValue(std::int32_t lngHKEY, const std::string& strKey,
                                   const std::string& strValue);
    void SetRegistryValue(std::int32_t lngHKEY, const std::string& strKey,
                          const std::string& strValueName, const std::int32_t& lngType,
                          const RegistryValue& varValue);
    void DeleteRegistryValue(std::int32_t lngHKEY, const std::string& strKey,
                             const std::string& strValueName);
    RegistryValue EnumKeys(std::int32_t lngHKEY, const std::string& strKey);
    RegistryValue EnumValues(std::int32_t lngHKEY, const std::string& strKey);

    std::string ExtensionToContentType(const std::string& strExtension);
    RegistryValue ExtensionToFileType(const std::string& strExtension);
    std::int32_t FileToIconHandle(const std::string& strFile, std::int32_t iIcon = 0);

    void setAppName(const std::string& NewAppName) { m_AppName = NewAppName; }
    void setSection(const std::string& NewSection) { m_Section = NewSection; }
    const std::string& Section() const { return m_Section; }
    void setDataType(std::int32_t NewDataType) { m_DataType = NewDataType; }

    void SaveSetting(const std::string& ValueName, const RegistryValue& value);
    RegistryValue GetSetting(const std::string& ValueName,
                             const std::optional<RegistryValue>& DefaultValue = std::nullopt);
    RegistryValue DeleteSetting(const std::string& ValueName);

private:
    // The counts and maximum lengths of RegQueryInfoKey.
    struct KeyInfo {
        std::uint32_t subKeys = 0;
        std::uint32_t maxSubKeyLength = 0;
        std::uint32_t values = 0;
        std::uint32_t maxValueNameLength = 0;
        std::uint32_t maxValueLength = 0;
    };

    // Works on Windows-1252 bytes.
    std::string ExpandString(const std::string& text);
    std::string GetErrorText(std::int32_t code);
    [[noreturn]] void raiseCode(std::int32_t code);
    KeyInfo queryInfo(std::uint32_t key);
    // Opens strKey and hands body the open key and its counts; empty when it cannot be opened.
    RegistryValue listKey(std::int32_t lngHKEY, const std::string& strKey,
                          const std::function<RegistryValue(std::uint32_t, const KeyInfo&)>& body);
    std::string settingsKey() const;

    RegistryFunctions& m_registry;
    std::string m_AppName;
    std::string m_Section;
    std::int32_t m_DataType = 0;
};

} // namespace ostrevan
