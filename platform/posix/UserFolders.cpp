#include "platform/UserFolders.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace ostrevan {
namespace {

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return "/tmp";
}

std::string programFolder(const char* xdgVariable, const char* fallbackBelowHome) {
    const char* base = std::getenv(xdgVariable);
    const std::filesystem::path root =
        base != nullptr && *base == '/' ? std::filesystem::path(base)
                                        : std::filesystem::path(homeFolder()) / fallbackBelowHome;
    const std::filesystem::path folder = root / "Ostrevan";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder.string();
}

} // namespace

std::string userConfigFolder() {
    return programFolder("XDG_CONFIG_HOME", ".config");
}

std::string userDataFolder() {
    return programFolder("XDG_DATA_HOME", ".local/share");
}

} // namespace ostrevan
