#include "platform/UserFolders.h"

#include "platform/win32/Wide.h"

#include <windows.h>

#include <knownfolders.h>
#include <memory>
#include <shlobj.h>

namespace ostrevan {
namespace {

struct TaskMemFree {
    void operator()(wchar_t* text) const { CoTaskMemFree(text); }
};

// folder (a known folder) + "\Ostrevan", made when missing.
std::string programFolder(const KNOWNFOLDERID& folder) {
    wchar_t* raw = nullptr;
    const HRESULT result = SHGetKnownFolderPath(folder, KF_FLAG_CREATE, nullptr, &raw);
    const std::unique_ptr<wchar_t, TaskMemFree> base(raw);
    std::wstring path = SUCCEEDED(result) ? std::wstring(base.get()) : std::wstring(L".");
    path += L"\\Ostrevan";
    CreateDirectoryW(path.c_str(), nullptr);
    return utf8Text(path);
}

} // namespace

std::string userConfigFolder() {
    return programFolder(FOLDERID_RoamingAppData);
}

std::string userDataFolder() {
    return programFolder(FOLDERID_LocalAppData);
}

} // namespace ostrevan
