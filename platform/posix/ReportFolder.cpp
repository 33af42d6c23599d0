#include "platform/posix/ReportFolder.h"

#include "platform/UserFolders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ostrevan {

bool folderWritable(const std::string& folder) {
    struct stat info {};
    if (folder.empty() || ::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;
    }
    // The effective user's rights decide, as they do for the open that follows.
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

std::string reportFolder(const std::string& programFolder) {
    return folderWritable(programFolder) ? programFolder : userDataFolder();
}

} // namespace ostrevan
