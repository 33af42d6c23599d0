#include "platform/posix/RegistryStore.h"

#include "platform/Error.h"
#include "platform/Numbers.h"
#include "platform/Text.h"
#include "platform/UserFolders.h"
#include "platform/posix/RegistryDatabase.h"
#include "platform/posix/RegistryEnvironment.h"
#include "platform/posix/RegistryIcons.h"
#include "platform/posix/RegistryNames.h"
#include "platform/posix/RegistrySystemTexts.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>
#include <vector>

namespace ostrevan {
namespace {

constexpr std::uintptr_t kInstanceHandle = 0x400000;

bool isText(std::uint32_t type) {
    return type == regtype::Sz || type == regtype::ExpandSz || type == regtype::MultiSz;
}

std::int64_t rootId(HKEY hKey) {
    switch (hKey) {
    case hkey::ClassesRoot:
        return RegistryDatabase::kClassesRoot;
    case hkey::CurrentUser:
        return RegistryDatabase::kCurrentUser;
    case hkey::LocalMachine:
        return RegistryDatabase::kLocalMachine;
    default:
        return 0;
    }
}

std::string_view nameOf(const char* name) {
    return name == nullptr ? std::string_view() : std::string_view(name);
}

const StoredValue* findValue(const std::vector<StoredValue>& values, std::string_view name) {
    const std::string folded = foldRegistryName(name);
    const auto found = std::find_if(values.begin(), values.end(), [&](const StoredValue& value) {
        return foldRegistryName(value.name) == folded;
    });
    return found == values.end() ? nullptr : &*found;
}

// Windows keeps text values in UTF-16 and reports the largest data in those bytes.
std::uint32_t reportedSize(const StoredValue& value) {
    return static_cast<std::uint32_t>(value.data.size() * (isText(value.type) ? 2 : 1));
}

void clearTime(FileTime* time) {
    if (time != nullptr) {
        *time = FileTime{};
    }
}

void clearClass(char* lpClass, std::uint32_t* lpcchClass) {
    if (lpClass != nullptr && lpcchClass != nullptr && *lpcchClass > 0) {
        lpClass[0] = '\0';
    }
    if (lpcchClass != nullptr) {
        *lpcchClass = 0;
    }
}

bool isPictureFile(const std::filesystem::path& path) {
    const std::string extension = upperCase(path.extension().string());
    return extension == ".ICO" || extension == ".PNG" || extension == ".SVG";
}

} // namespace

RegistryStore::RegistryStore(const std::string& path)
    : m_database(std::make_unique<RegistryDatabase>(path)) {}

RegistryStore::~RegistryStore() = default;

std::string RegistryStore::defaultPath() {
    return userConfigFolder() + "/registry.sqlite3";
}

std::int32_t RegistryStore::keyOf(HKEY hKey, std::uint32_t accessNeeded, OpenKey* key) const {
    if (const std::int64_t root = rootId(hKey); root != 0) {
        if (m_database->openError() != winerror::Success) {
            return m_database->openError();
        }
        *key = {root, keyaccess::AllAccess, 0};
        return winerror::Success;
    }
    const auto found = m_handles.find(hKey);
    if (found == m_handles.end()) {
        return winerror::InvalidHandle;
    }
    if ((found->second.access & accessNeeded) != accessNeeded) {
        return winerror::AccessDenied;
    }
    *key = found->second;
    return winerror::Success;
}

std::int32_t RegistryStore::findSubKey(HKEY hKey, const char* lpSubKey, OpenKey* parent,
                                       std::vector<std::string>* levels, std::int64_t* id) const {
    std::int32_t rc = keyOf(hKey, 0, parent);
    rc = rc == winerror::Success ? splitKeyPath(nameOf(lpSubKey), levels) : rc;
    return rc == winerror::Success ? m_database->findKey(parent->id, *levels, id) : rc;
}

std::int32_t
RegistryStore::valuesOf(HKEY hKey, std::shared_ptr<const std::vector<StoredValue>>* values) const {
    OpenKey key;
    const std::int32_t rc = keyOf(hKey, keyaccess::QueryValue, &key);
    return rc == winerror::Success ? m_database->values(key.id, values) : rc;
}

HKEY RegistryStore::addHandle(const OpenKey& key) {
    const HKEY handle = m_nextHandle;
    m_nextHandle += 4;
    m_handles.emplace(handle, key);
    return handle;
}

std::int32_t RegistryStore::RegOpenKeyEx(HKEY hKey, const char* lpSubKey, std::uint32_t,
                                         std::uint32_t samDesired, HKEY* phkResult) {
    if (phkResult == nullptr) {
        return winerror::InvalidParameter;
    }
    *phkResult = 0;
    OpenKey parent;
    std::vector<std::string> levels;
    std::int64_t id = 0;
    const std::int32_t rc = findSubKey(hKey, lpSubKey, &parent, &levels, &id);
    if (rc == winerror::Success) {
        *phkResult = addHandle({id, samDesired, parent.depth + levels.size()});
    }
    return rc;
}

std::int32_t RegistryStore::RegCreateKeyEx(HKEY hKey, const char* lpSubKey, std::uint32_t,
                                           const char*, std::uint32_t, std::uint32_t samDesired,
                                           const void*, HKEY* phkResult,
                                           std::uint32_t* lpdwDisposition) {
    if (phkResult == nullptr) {
        return winerror::InvalidParameter;
    }
    *phkResult = 0;
    OpenKey parent;
    std::vector<std::string> levels;
    std::int64_t id = 0;
    bool created = false;
    std::int32_t rc = findSubKey(hKey, lpSubKey, &parent, &levels, &id);
    const std::size_t depth = parent.depth + levels.size();
    if (rc == winerror::FileNotFound) {
        if ((parent.access & keyaccess::CreateSubKey) == 0) {
            rc = winerror::AccessDenied;
        } else if (depth > kMaxKeyDepth) {
            rc = winerror::InvalidParameter;
        } else {
            rc = m_database->createKey(parent.id, levels, &id, &created);
        }
    }
    if (rc != winerror::Success) {
        return rc;
    }
    *phkResult = addHandle({id, samDesired, depth});
    if (lpdwDisposition != nullptr) {
        *lpdwDisposition = created ? RegCreatedNewKey : RegOpenedExistingKey;
    }
    return winerror::Success;
}

std::int32_t RegistryStore::RegQueryValueEx(HKEY hKey, const char* lpValueName, std::uint32_t*,
                                            std::uint32_t* lpType, unsigned char* lpData,
                                            std::uint32_t* lpcbData) {
    if (lpData != nullptr && lpcbData == nullptr) {
        return winerror::InvalidParameter;
    }
    std::shared_ptr<const std::vector<StoredValue>> values;
    if (const std::int32_t rc = valuesOf(hKey, &values); rc != winerror::Success) {
        return rc;
    }
    const StoredValue* value = findValue(*values, nameOf(lpValueName));
    if (value == nullptr) {
        if (lpType != nullptr) {
            *lpType = regtype::None;
        }
        return winerror::FileNotFound;
    }
    if (lpType != nullptr) {
        *lpType = value->type;
    }
    if (lpcbData == nullptr) {
        return winerror::Success;
    }
    const auto size = static_cast<std::uint32_t>(value->data.size());
    if (lpData != nullptr && *lpcbData < size) {
        *lpcbData = size;
        return winerror::MoreData;
    }
    if (lpData != nullptr) {
        std::copy(value->data.begin(), value->data.end(), lpData);
    }
    *lpcbData = size;
    return winerror::Success;
}

std::int32_t RegistryStore::RegSetValueEx(HKEY hKey, const char* lpValueName, std::uint32_t,
                                          std::uint32_t dwType, const unsigned char* lpData,
                                          std::uint32_t cbData) {
    if ((lpData == nullptr && cbData > 0) || nameOf(lpValueName).size() > kMaxValueNameLength) {
        return winerror::InvalidParameter;
    }
    OpenKey key;
    const std::int32_t rc = keyOf(hKey, keyaccess::SetValue, &key);
    if (rc != winerror::Success) {
        return rc;
    }
    std::string data =
        cbData == 0 ? std::string() : std::string(reinterpret_cast<const char*>(lpData), cbData);
    // As Windows, text given without its terminator is stored with one.
    if (isText(dwType) && !data.empty() && data.back() != '\0') {
        data += '\0';
    }
    return m_database->setValue(key.id, nameOf(lpValueName), dwType, data);
}

std::int32_t RegistryStore::RegDeleteValue(HKEY hKey, const char* lpValueName) {
    OpenKey key;
    const std::int32_t rc = keyOf(hKey, keyaccess::SetValue, &key);
    return rc != winerror::Success ? rc : m_database->deleteValue(key.id, nameOf(lpValueName));
}

std::int32_t
RegistryStore::RegQueryInfoKey(HKEY hKey, char* lpClass, std::uint32_t* lpcchClass, std::uint32_t*,
                               std::uint32_t* lpcSubKeys, std::uint32_t* lpcbMaxSubKeyLen,
                               std::uint32_t* lpcbMaxClassLen, std::uint32_t* lpcValues,
                               std::uint32_t* lpcbMaxValueNameLen, std::uint32_t* lpcbMaxValueLen,
                               std::uint32_t* lpcbSecurityDescriptor, FileTime* lpftLastWriteTime) {
    OpenKey key;
    std::shared_ptr<const std::vector<std::string>> subKeys;
    std::shared_ptr<const std::vector<StoredValue>> values;
    std::int32_t rc = keyOf(hKey, 0, &key);
    if (rc == winerror::Success) {
        rc = m_database->subKeys(key.id, &subKeys);
    }
    if (rc == winerror::Success) {
        rc = m_database->values(key.id, &values);
    }
    if (rc != winerror::Success) {
        return rc;
    }
    std::uint32_t maxSubKey = 0;
    for (const std::string& name : *subKeys) {
        maxSubKey = std::max(maxSubKey, static_cast<std::uint32_t>(name.size()));
    }
    std::uint32_t maxValueName = 0;
    std::uint32_t maxValue = 0;
    for (const StoredValue& value : *values) {
        maxValueName = std::max(maxValueName, static_cast<std::uint32_t>(value.name.size()));
        maxValue = std::max(maxValue, reportedSize(value));
    }
    const auto put = [](std::uint32_t* target, std::uint32_t value) {
        if (target != nullptr) {
            *target = value;
        }
    };
    clearClass(lpClass, lpcchClass);
    put(lpcSubKeys, static_cast<std::uint32_t>(subKeys->size()));
    put(lpcbMaxSubKeyLen, maxSubKey);
    put(lpcbMaxClassLen, 0);
    put(lpcValues, static_cast<std::uint32_t>(values->size()));
    put(lpcbMaxValueNameLen, maxValueName);
    put(lpcbMaxValueLen, maxValue);
    put(lpcbSecurityDescriptor, 0);
    clearTime(lpftLastWriteTime);
    return winerror::Success;
}

std::int32_t RegistryStore::RegEnumKeyEx(HKEY hKey, std::uint32_t dwIndex, char* lpName,
                                         std::uint32_t* lpcchName, std::uint32_t*, char* lpClass,
                                         std::uint32_t* lpcchClass, FileTime* lpftLastWriteTime) {
    if (lpName == nullptr || lpcchName == nullptr) {
        return winerror::InvalidParameter;
    }
    OpenKey key;
    std::shared_ptr<const std::vector<std::string>> subKeys;
    std::int32_t rc = keyOf(hKey, keyaccess::EnumerateSubKeys, &key);
    if (rc == winerror::Success) {
        rc = m_database->subKeys(key.id, &subKeys);
    }
    if (rc != winerror::Success) {
        return rc;
    }
    if (dwIndex >= subKeys->size()) {
        return winerror::NoMoreItems;
    }
    const std::string& name = (*subKeys)[dwIndex];
    if (*lpcchName < name.size() + 1) {
        return winerror::MoreData;
    }
    std::copy(name.begin(), name.end(), lpName);
    lpName[name.size()] = '\0';
    *lpcchName = static_cast<std::uint32_t>(name.size());
    clearClass(lpClass, lpcchClass);
    clearTime(lpftLastWriteTime);
    return winerror::Success;
}

std::int32_t RegistryStore::RegEnumValue(HKEY hKey, std::uint32_t dwIndex, char* lpValueName,
                                         std::uint32_t* lpcchValueName, std::uint32_t*,
                                         std::uint32_t* lpType, unsigned char* lpData,
                                         std::uint32_t* lpcbData) {
    if (lpValueName == nullptr || lpcchValueName == nullptr ||
        (lpData != nullptr && lpcbData == nullptr)) {
        return winerror::InvalidParameter;
    }
    std::shared_ptr<const std::vector<StoredValue>> values;
    if (const std::int32_t rc = valuesOf(hKey, &values); rc != winerror::Success) {
        return rc;
    }
    if (dwIndex >= values->size()) {
        return winerror::NoMoreItems;
    }
    const StoredValue& value = (*values)[dwIndex];
    const auto size = static_cast<std::uint32_t>(value.data.size());
    const bool nameFits = *lpcchValueName >= value.name.size() + 1;
    const bool dataFits = lpData == nullptr || *lpcbData >= size;
    if (lpType != nullptr) {
        *lpType = value.type;
    }
    if (!dataFits) {
        *lpcbData = size;
        return winerror::MoreData;
    }
    if (lpData != nullptr) {
        std::copy(value.data.begin(), value.data.end(), lpData);
    }
    if (lpcbData != nullptr) {
        *lpcbData = size;
    }
    // A name that does not fit is cut to the buffer, with its NUL, and its length stays as it
    // was; the data has been delivered all the same, as Windows does.
    if (!nameFits) {
        if (*lpcchValueName > 0) {
            const std::size_t kept = *lpcchValueName - 1;
            std::copy_n(value.name.begin(), kept, lpValueName);
            lpValueName[kept] = '\0';
        }
        return winerror::MoreData;
    }
    std::copy(value.name.begin(), value.name.end(), lpValueName);
    lpValueName[value.name.size()] = '\0';
    *lpcchValueName = static_cast<std::uint32_t>(value.name.size());
    return winerror::Success;
}

std::int32_t RegistryStore::oneView(const std::function<std::int32_t()>& steps) {
    if (m_database->openError() != winerror::Success) {
        return m_database->openError();
    }
    return m_database->oneView(steps);
}

std::int32_t RegistryStore::allOrNothing(const std::function<std::int32_t()>& steps) {
    if (m_database->openError() != winerror::Success) {
        return m_database->openError();
    }
    return m_database->allOrNothing(steps);
}

std::int32_t RegistryStore::RegCloseKey(HKEY hKey) {
    if (rootId(hKey) != 0) {
        return winerror::Success;
    }
    return m_handles.erase(hKey) > 0 ? winerror::Success : winerror::InvalidHandle;
}

std::uint32_t RegistryStore::ExpandEnvironmentStrings(const char* lpSrc, char* lpDst,
                                                      std::uint32_t nSize) {
    return expandEnvironmentStrings(lpSrc, lpDst, nSize);
}

std::uint32_t RegistryStore::FormatMessage(std::uint32_t dwFlags, const void*,
                                           std::uint32_t dwMessageId, std::uint32_t, char* lpBuffer,
                                           std::uint32_t nSize, const void* Arguments) {
    return formatSystemMessage(dwFlags, dwMessageId, lpBuffer, nSize, Arguments, &m_lastError);
}

std::uintptr_t RegistryStore::GetModuleHandle(const char* lpModuleName) {
    return lpModuleName == nullptr ? kInstanceHandle : 0;
}

std::int32_t RegistryStore::ExtractIcon(std::uintptr_t, const char* lpszExeFileName,
                                        std::int32_t nIconIndex) {
    const std::string file(nameOf(lpszExeFileName));
    std::error_code ignored;
    const std::filesystem::path path(fromWindows1252(file));
    if (file.empty() || !std::filesystem::is_regular_file(path, ignored)) {
        return 0;
    }
    const bool has = isPictureFile(path) ? nIconIndex == 0 : hasIconAt(file, nIconIndex);
    return has ? iconHandle(file, nIconIndex) : 0;
}

bool RegistryStore::hasIconAt(const std::string& file, std::int32_t index) {
    std::vector<StoredValue> locations;
    if (m_database->openError() != winerror::Success ||
        m_database->iconLocations(&locations) != winerror::Success) {
        return false;
    }
    return std::any_of(locations.begin(), locations.end(), [&](const StoredValue& stored) {
        std::string location = stored.data.substr(0, stored.data.find('\0'));
        if (stored.type == regtype::ExpandSz) {
            std::string expanded(expandEnvironmentStrings(location.c_str(), nullptr, 0), '\0');
            expandEnvironmentStrings(location.c_str(), expanded.data(),
                                     static_cast<std::uint32_t>(expanded.size()));
            location = expanded.substr(0, expanded.find('\0'));
        } else if (stored.type != regtype::Sz) {
            return false;
        }
        const auto comma = location.find(',');
        std::int32_t named = 0;
        if (comma != std::string::npos &&
            trapError([&] { named = textToInt32(fromWindows1252(location.substr(comma + 1))); })) {
            return false;
        }
        return location.substr(0, comma) == file && named == index;
    });
}

} // namespace ostrevan
