#include "storage/clsSysRegistry.h"

#include "platform/Error.h"
#include "platform/Numbers.h"
#include "platform/RegistryFunctions.h"
#include "platform/Text.h"

#include <array>
#include <string_view>
#include <utility>

namespace ostrevan {
namespace {

constexpr std::int32_t kNoErrorText = 9999;
constexpr std::uint32_t kErrorTextSize = 256;
constexpr std::string_view kOctetStream = "application/octet-stream";

// Closes the key on every way out of a member.
class KeyGuard final {
public:
    KeyGuard(RegistryFunctions& registry, HKEY key) : m_registry(registry), m_key(key) {}
    KeyGuard(const KeyGuard&) = delete;
    KeyGuard& operator=(const KeyGuard&) = delete;
    ~KeyGuard() { m_registry.RegCloseKey(m_key); }

private:
    RegistryFunctions& m_registry;
    HKEY m_key;
};

HKEY rootHandle(std::int32_t lngHKEY) {
    return static_cast<HKEY>(lngHKEY);
}

// The first n bytes; a negative n is an invalid call, as cutting text short of nothing is.
std::string leftBytes(const std::string& bytes, std::int64_t n) {
    if (n < 0) {
        raise(err::InvalidCall);
    }
    return bytes.substr(0, static_cast<std::size_t>(n));
}

std::vector<std::string> splitAtNul(const std::string& bytes) {
    std::vector<std::string> pieces;
    if (bytes.empty()) {
        return pieces;
    }
    std::size_t start = 0;
    for (std::size_t nul = bytes.find('\0'); nul != std::string::npos;
         nul = bytes.find('\0', start)) {
        pieces.push_back(fromWindows1252(bytes.substr(start, nul - start)));
        start = nul + 1;
    }
    pieces.push_back(fromWindows1252(bytes.substr(start)));
    return pieces;
}

std::string dwordBytes(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    return std::string{static_cast<char>(bits & 0xFF), static_cast<char>((bits >> 8) & 0xFF),
                       static_cast<char>((bits >> 16) & 0xFF),
                       static_cast<char>((bits >> 24) & 0xFF)};
}

std::int32_t dwordValue(const std::array<unsigned char, 4>& bytes) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) |
                                     (static_cast<std::uint32_t>(bytes[1]) << 8) |
                                     (static_cast<std::uint32_t>(bytes[2]) << 16) |
                                     (static_cast<std::uint32_t>(bytes[3]) << 24));
}

unsigned char* dataOf(std::string& bytes) {
    return reinterpret_cast<unsigned char*>(bytes.data());
}

// A member's error exit: an error whose source names no class member yet gets this member.
template <class Body> auto withSource(std::string_view member, Body&& body) {
    try {
        return body();
    } catch (...) {
        Error error = caughtError();
        if (error.source().find(':') == std::string::npos) {
            error.setSource("cSysRegistry:" + std::string(member));
        }
        throw error;
    }
}

struct IconLocation {
    std::string file;
    std::int32_t index = 0;
};

// "file,index": the text before the first comma and the number after it.
IconLocation splitIconLocation(const std::string& location) {
    const auto comma = location.find(',');
    return {location.substr(0, comma), textToInt32(location.substr(comma + 1))};
}

// A numeric location is an icon index; any other text stands for index 0.
std::int32_t numberOrZero(const std::string& text) {
    std::int32_t number = 0;
    const auto failed = trapError([&] { number = textToInt32(text); });
    if (failed && failed->number() != err::TypeMismatch) {
        throw *failed;
    }
    return failed ? 0 : number;
}

} // namespace

bool isEmpty(const RegistryValue& value) {
    return std::holds_alternative<std::monostate>(value);
}

std::string toText(const RegistryValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto* number = std::get_if<std::int32_t>(&value)) {
        return std::to_string(*number);
    }
    if (isEmpty(value)) {
        return {};
    }
    raise(err::TypeMismatch);
}

std::int32_t toInt32(const RegistryValue& value) {
    if (const auto* number = std::get_if<std::int32_t>(&value)) {
        return *number;
    }
    if (const auto* text = std::get_if<std::string>(&value)) {
        return textToInt32(*text);
    }
    if (isEmpty(value)) {
        return 0;
    }
    raise(err::TypeMismatch);
}

clsSysRegistry::clsSysRegistry(RegistryFunctions& registry) : m_registry(registry) {}

std::string clsSysRegistry::GetErrorText(std::int32_t code) {
    std::string text;
    try {
        std::string buffer(kErrorTextSize, ' ');
        const std::uint32_t stored = m_registry.FormatMessage(
            FormatMessageFromSystem, nullptr, static_cast<std::uint32_t>(code), 0, buffer.data(),
            kErrorTextSize, nullptr);
        if (stored > 0 && stored <= kErrorTextSize) {
            text = fromWindows1252(buffer.substr(0, stored - 1));
        }
    } catch (...) {
        text.clear();
    }
    if (text.empty()) {
        raise(kNoErrorText, "",
              "Der Fehlertext zu ReturnCode " + std::to_string(code) +
                  " konnte nicht ermittelt werden.");
    }
    return text;
}

void clsSysRegistry::raiseCode(std::int32_t code) {
    raise(code, "", GetErrorText(code));
}

std::string clsSysRegistry::ExpandString(const std::string& text) {
    try {
        if (text.find('%') == std::string::npos) {
            return text;
        }
        const std::string source = text + '\0';
        char probe = ' ';
        const std::uint32_t needed = m_registry.ExpandEnvironmentStrings(source.c_str(), &probe, 0);
        std::string buffer(needed, ' ');
        m_registry.ExpandEnvironmentStrings(source.c_str(), buffer.data(), needed);
        return buffer.substr(0, buffer.find('\0'));
    } catch (...) {
        Error error = caughtError();
        error.setSource("cSysRegistry:ExpandString");
        throw error;
    }
}

bool clsSysRegistry::HasKey(std::int32_t lngHKEY, const std::string& strKey,
                            const std::optional<RegistryValue>& strValue) {
    try {
        HKEY key = 0;
        if (m_registry.RegOpenKeyEx(rootHandle(lngHKEY), toWindows1252(strKey).c_str(), 0,
                                    keyaccess::ReadControlQuery, &key) != winerror::Success) {
            return false;
        }
        const KeyGuard guard(m_registry, key);
        if (!strValue) {
            return true;
        }
        const std::string name = toWindows1252(toText(*strValue));
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        return m_registry.RegQueryValueEx(key, name.c_str(), nullptr, &type, nullptr, &size) ==
               winerror::Success;
    } catch (...) {
        Error error = caughtError();
        error.setSource("cSysRegistry:HasKey");
        throw error;
    }
}

RegistryValue clsSysRegistry::GetRegistryValue(std::int32_t lngHKEY, const std::string& strKey,
                                               const std::string& strValue) {
    return withSource("GetRegistryValue", [&]() -> RegistryValue {
        HKEY key = 0;
        const std::int32_t opened =
            m_registry.RegOpenKeyEx(rootHandle(lngHKEY), toWindows1252(strKey).c_str(), 0,
                                    keyaccess::ReadControlQuery, &key);
        if (opened == winerror::FileNotFound) {
            return {};
        }
        if (opened != winerror::Success) {
            raiseCode(opened);
        }
        const KeyGuard guard(m_registry, key);
        const std::string name = toWindows1252(strValue);
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        const std::int32_t probed =
            m_registry.RegQueryValueEx(key, name.c_str(), nullptr, &type, nullptr, &size);
        if (probed == winerror::FileNotFound) {
            return {};
        }
        if (probed != winerror::Success) {
            raiseCode(probed);
        }
        switch (type) {
        case regtype::Sz:
        case regtype::ExpandSz:
        case regtype::MultiSz:
        case regtype::Binary: {
            std::string buffer(size, ' ');
            const std::int32_t read = m_registry.RegQueryValueEx(key, name.c_str(), nullptr, &type,
                                                                 dataOf(buffer), &size);
            if (read != winerror::Success) {
                raiseCode(read);
            }
            if (type == regtype::Binary) {
                return fromWindows1252(buffer);
            }
            const std::int64_t keep =
                static_cast<std::int64_t>(size) - (type == regtype::MultiSz ? 2 : 1);
            const std::string text = leftBytes(buffer, keep);
            if (type == regtype::MultiSz) {
                return splitAtNul(text);
            }
            return fromWindows1252(type == regtype::ExpandSz ? ExpandString(text) : text);
        }
        case regtype::Dword: {
            std::array<unsigned char, 4> bytes{};
            std::uint32_t dwordSize = 4;
            const std::int32_t read = m_registry.RegQueryValueEx(key, name.c_str(), nullptr, &type,
                                                                 bytes.data(), &dwordSize);
            if (read != winerror::Success) {
                raiseCode(read);
            }
            return dwordValue(bytes);
        }
        default:
            return {};
        }
    });
}

void clsSysRegistry::SetRegistryValue(std::int32_t lngHKEY, const std::string& strKey,
                                      const std::string& strValueName, const std::int32_t& lngType,
                                      const RegistryValue& varValue) {
    withSource("SetRegistryValue", [&] {
        const std::string path = toWindows1252(strKey);
        HKEY key = 0;
        std::int32_t opened = m_registry.RegOpenKeyEx(rootHandle(lngHKEY), path.c_str(), 0,
                                                      keyaccess::RequiredSetValue, &key);
        if (opened == winerror::FileNotFound) {
            opened = m_registry.RegCreateKeyEx(rootHandle(lngHKEY), path.c_str(), 0, nullptr, 0,
                                               keyaccess::RequiredSetValue, nullptr, &key, nullptr);
        }
        if (opened != winerror::Success) {
            raiseCode(opened);
        }
        const KeyGuard guard(m_registry, key);
        std::string data;
        switch (lngType) {
        case regtype::Sz:
        case regtype::ExpandSz:
            data = toWindows1252(toText(varValue)) + '\0';
            break;
        case regtype::MultiSz: {
            const auto* list = std::get_if<std::vector<std::string>>(&varValue);
            if (list == nullptr) {
                raise(err::TypeMismatch);
            }
            for (std::size_t i = 0; i < list->size(); ++i) {
                if (i > 0) {
                    data += '\0';
                }
                data += toWindows1252((*list)[i]);
            }
            data += std::string(2, '\0');
            break;
        }
        case regtype::Binary:
            data = toWindows1252(toText(varValue));
            break;
        case regtype::Dword:
            data = dwordBytes(toInt32(varValue));
            break;
        default:
            return;
        }
        const std::int32_t written = m_registry.RegSetValueEx(
            key, toWindows1252(strValueName).c_str(), 0, static_cast<std::uint32_t>(lngType),
            dataOf(data), static_cast<std::uint32_t>(data.size()));
        if (written != winerror::Success) {
            raiseCode(written);
        }
    });
}

void clsSysRegistry::DeleteRegistryValue(std::int32_t lngHKEY, const std::string& strKey,
                                         const std::string& strValueName) {
    withSource("DeleteRegistryValue", [&] {
        HKEY key = 0;
        if (m_registry.RegOpenKeyEx(rootHandle(lngHKEY), toWindows1252(strKey).c_str(), 0,
                                    keyaccess::RequiredSetValue, &key) != winerror::Success) {
            return;
        }
        const KeyGuard guard(m_registry, key);
        const std::int32_t deleted =
            m_registry.RegDeleteValue(key, toWindows1252(strValueName).c_str());
        if (deleted != winerror::Success && deleted != winerror::FileNotFound) {
            raiseCode(deleted);
        }
    });
}

clsSysRegistry::KeyInfo clsSysRegistry::queryInfo(HKEY key) {
    KeyInfo info;
    std::uint32_t maxClassLength = 0;
    const std::int32_t code = m_registry.RegQueryInfoKey(
        key, nullptr, nullptr, nullptr, &info.subKeys, &info.maxSubKeyLength, &maxClassLength,
        &info.values, &info.maxValueNameLength, &info.maxValueLength, nullptr, nullptr);
    if (code != winerror::Success) {
        raiseCode(code);
    }
    return info;
}

RegistryValue
clsSysRegistry::listKey(std::int32_t lngHKEY, const std::string& strKey,
                        const std::function<RegistryValue(HKEY, const KeyInfo&)>& body) {
    HKEY key = 0;
    if (m_registry.RegOpenKeyEx(rootHandle(lngHKEY), toWindows1252(strKey).c_str(), 0,
                                keyaccess::AllAccess, &key) != winerror::Success) {
        return {};
    }
    const KeyGuard guard(m_registry, key);
    return body(key, queryInfo(key));
}

RegistryValue clsSysRegistry::EnumKeys(std::int32_t lngHKEY, const std::string& strKey) {
    return withSource("EnumKeys", [&] {
        return listKey(lngHKEY, strKey, [&](HKEY key, const KeyInfo& info) -> RegistryValue {
            if (info.subKeys == 0) {
                return {};
            }
            std::vector<std::string> names(info.subKeys);
            for (std::uint32_t i = 0; i < info.subKeys; ++i) {
                std::string buffer(info.maxSubKeyLength + 1, ' ');
                std::uint32_t length = info.maxSubKeyLength + 1;
                FileTime lastWrite;
                const std::int32_t listed = m_registry.RegEnumKeyEx(
                    key, i, buffer.data(), &length, nullptr, nullptr, nullptr, &lastWrite);
                if (listed != winerror::Success) {
                    raiseCode(listed);
                }
                names[i] = fromWindows1252(buffer.substr(0, length));
            }
            return names;
        });
    });
}

RegistryValue clsSysRegistry::EnumValues(std::int32_t lngHKEY, const std::string& strKey) {
    return withSource("EnumValues", [&] {
        return listKey(lngHKEY, strKey, [&](HKEY key, const KeyInfo& info) -> RegistryValue {
            if (info.values == 0) {
                return {};
            }
            RegistryTable table{std::vector<std::string>(info.values),
                                std::vector<std::string>(info.values)};
            for (std::uint32_t i = 0; i < info.values; ++i) {
                std::string name(info.maxValueNameLength + 1, ' ');
                std::uint32_t nameLength = info.maxValueNameLength + 1;
                std::string data(info.maxValueLength + 1, ' ');
                std::uint32_t dataSize = info.maxValueLength + 1;
                std::uint32_t type = 0;
                const std::int32_t listed = m_registry.RegEnumValue(
                    key, i, name.data(), &nameLength, nullptr, &type, dataOf(data), &dataSize);
                if (listed != winerror::Success) {
                    raiseCode(listed);
                }
                table[0][i] = fromWindows1252(name.substr(0, nameLength));
                table[1][i] = std::to_string(type);
            }
            return table;
        });
    });
}

std::string clsSysRegistry::ExtensionToContentType(const std::string& strExtension) {
    return withSource("ExtensionToContentType", [&] {
        const std::string key = "." + strExtension;
        if (HasKey(regroot::ClassesRoot, key, RegistryValue(std::string("Content Type")))) {
            return toText(GetRegistryValue(regroot::ClassesRoot, key, "Content Type"));
        }
        return std::string(kOctetStream);
    });
}

RegistryValue clsSysRegistry::ExtensionToFileType(const std::string& strExtension) {
    return withSource("ExtensionToFileType", [&]() -> RegistryValue {
        const RegistryValue className =
            GetRegistryValue(regroot::ClassesRoot, "." + strExtension, "");
        if (isEmpty(className)) {
            return {};
        }
        return GetRegistryValue(regroot::ClassesRoot, toText(className), "");
    });
}

std::int32_t clsSysRegistry::FileToIconHandle(const std::string& strFile, std::int32_t iIcon) {
    const auto dot = strFile.rfind('.');
    const std::string extension = dot == std::string::npos ? strFile : strFile.substr(dot + 1);
    try {
        const std::uintptr_t instance = m_registry.GetModuleHandle(nullptr);
        const std::string className =
            toText(GetRegistryValue(regroot::ClassesRoot, "." + extension, ""));
        const auto read = [&](const std::string& key) {
            return toText(GetRegistryValue(regroot::ClassesRoot, key, ""));
        };
        IconLocation icon;
        if (HasKey(regroot::ClassesRoot, className + "\\DefaultIcon")) {
            const std::string location = read(className + "\\DefaultIcon");
            if (location.find(',') != std::string::npos) {
                icon = splitIconLocation(location);
            } else if (const RegistryValue classId =
                           GetRegistryValue(regroot::ClassesRoot, className + "\\CLSID", "");
                       isEmpty(classId)) {
                icon = {strFile, numberOrZero(location)};
            } else {
                const std::string server = "CLSID\\" + toText(classId);
                const std::string serverLocation =
                    HasKey(regroot::ClassesRoot, server + "\\DefaultIcon")
                        ? read(server + "\\DefaultIcon")
                        : read(server + "\\InProcServer32");
                icon = serverLocation.find(',') != std::string::npos
                           ? splitIconLocation(serverLocation)
                           : IconLocation{serverLocation, iIcon};
            }
        } else {
            if (!HasKey(regroot::ClassesRoot, className + "\\CLSID")) {
                return 0;
            }
            const std::string server = "CLSID\\" + read(className + "\\CLSID");
            if (HasKey(regroot::ClassesRoot, server + "\\LocalServer32")) {
                icon.file = read(server + "\\LocalServer32");
            } else if (HasKey(regroot::ClassesRoot, server + "\\InProcServer32")) {
                icon.file = read(server + "\\InProcServer32");
            }
            icon.index = iIcon;
        }
        return m_registry.ExtractIcon(instance, toWindows1252(icon.file).c_str(), icon.index);
    } catch (...) {
        Error error = caughtError();
        if (error.number() == winerror::FileNotFound) {
            error.setDescription(extension + " ist ein unbekannter Dateityp.");
        }
        if (error.source().find(':') == std::string::npos) {
            error.setSource("cSysRegistry:ExtensionToIconHandle");
        }
        throw error;
    }
}

std::string clsSysRegistry::settingsKey() const {
    return "Software\\" + m_AppName + "\\" + m_Section;
}

void clsSysRegistry::SaveSetting(const std::string& ValueName, const RegistryValue& value) {
    SetRegistryValue(regroot::CurrentUser, settingsKey(), ValueName, m_DataType, value);
}

RegistryValue clsSysRegistry::GetSetting(const std::string& ValueName,
                                         const std::optional<RegistryValue>& DefaultValue) {
    return withSource("GetSetting", [&] {
        RegistryValue value = GetRegistryValue(regroot::CurrentUser, settingsKey(), ValueName);
        if (isEmpty(value) && DefaultValue && !isEmpty(*DefaultValue)) {
            return *DefaultValue;
        }
        return value;
    });
}

RegistryValue clsSysRegistry::DeleteSetting(const std::string& ValueName) {
    DeleteRegistryValue(regroot::CurrentUser, settingsKey(), ValueName);
    return {};
}

} // namespace ostrevan
