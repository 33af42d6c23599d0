#include "tests/errors/FakeRegistryFunctions.h"

#include <algorithm>
#include <cstring>

namespace ostrevan::fakes {

void FakeRegistryFunctions::addText(const std::string& key, const std::string& name,
                                    const std::string& text) {
    m_keys[key][name] = {regtype::Sz, text + '\0'};
}

void FakeRegistryFunctions::addDword(const std::string& key, const std::string& name,
                                     std::uint32_t value) {
    std::string data(4, '\0');
    std::memcpy(data.data(), &value, 4);
    m_keys[key][name] = {regtype::Dword, data};
}

void FakeRegistryFunctions::addMultiText(const std::string& key, const std::string& name,
                                         const std::string& texts) {
    m_keys[key][name] = {regtype::MultiSz, texts + '\0' + '\0'};
}

std::int32_t FakeRegistryFunctions::RegOpenKeyEx(HKEY hKey, const char* lpSubKey, std::uint32_t,
                                                 std::uint32_t, HKEY* phkResult) {
    if (openFailsWith != winerror::Success) {
        return openFailsWith;
    }
    const std::string path = lpSubKey != nullptr ? lpSubKey : "";
    if (hKey != hkey::LocalMachine || !m_keys.contains(path)) {
        return winerror::FileNotFound;
    }
    *phkResult = m_nextHandle++;
    m_open[*phkResult] = path;
    return winerror::Success;
}

std::int32_t FakeRegistryFunctions::RegQueryValueEx(HKEY hKey, const char* lpValueName,
                                                    std::uint32_t*, std::uint32_t* lpType,
                                                    unsigned char* lpData,
                                                    std::uint32_t* lpcbData) {
    const auto key = m_open.find(hKey);
    if (key == m_open.end()) {
        return winerror::InvalidHandle;
    }
    const auto& values = m_keys.at(key->second);
    const auto value = values.find(lpValueName != nullptr ? lpValueName : "");
    if (value == values.end()) {
        return winerror::FileNotFound;
    }
    const auto size = static_cast<std::uint32_t>(value->second.data.size());
    if (lpType != nullptr) {
        *lpType = value->second.type;
    }
    if (lpData == nullptr) {
        *lpcbData = size;
        return winerror::Success;
    }
    if (dataReadFailsWith != winerror::Success) {
        return dataReadFailsWith;
    }
    if (*lpcbData < size) {
        *lpcbData = size;
        return winerror::MoreData;
    }
    std::copy(value->second.data.begin(), value->second.data.end(), lpData);
    *lpcbData = size;
    return winerror::Success;
}

std::int32_t FakeRegistryFunctions::RegCloseKey(HKEY hKey) {
    return m_open.erase(hKey) == 1 ? winerror::Success : winerror::InvalidHandle;
}

} // namespace ostrevan::fakes
