#include "platform/ReportFolder.h"

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

std::string installedProgramFolder() {
    return OSTREVAN_INSTALL_BINDIR;
}

std::string reportFolder(const std::string& programFolder) {
    // The installed program's folder belongs to the package manager, also when root runs it.
    const bool ours = programFolder != installedProgramFolder() && folderWritable(programFolder);
    return ours ? programFolder : userDataFolder();
}

} // namespace ostrevan
