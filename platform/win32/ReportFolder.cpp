#include "platform/ReportFolder.h"

#include "platform/Error.h"
#include "platform/UserFolders.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/WindowsApi.h"

#include <string>

namespace ostrevan {

bool folderWritable(const std::string& folder) {
    std::wstring probe;
    if (folder.empty() || trapError([&] { probe = longPath(folder); })) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(probe.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return false;
    }
    // Access rules on Windows are more than a flag: try it, with a file that goes at once.
    probe += L"\\.ostrevan-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

std::string reportFolder(const std::string& programFolder) {
    return folderWritable(programFolder) ? programFolder : userDataFolder();
}

} // namespace ostrevan
