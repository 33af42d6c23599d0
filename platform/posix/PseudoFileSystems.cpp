#include "platform/posix/PseudoFileSystems.h"

#include <array>
#include <charconv>
#include <fstream>
#include <linux/magic.h>
#include <sstream>
#include <string_view>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

namespace ostrevan {
namespace {

constexpr std::array<std::string_view, 21> kPseudoTypes = {
    "autofs", "binfmt_misc", "bpf",        "cgroup",     "cgroup2",   "configfs", "debugfs",
    "devpts", "devtmpfs",    "efivarfs",   "fusectl",    "hugetlbfs", "mqueue",   "nsfs",
    "proc",   "pstore",      "rpc_pipefs", "securityfs", "selinuxfs", "sysfs",    "tracefs"};

// The same kinds by their statfs type; devtmpfs has none of its own (it is tmpfs).
constexpr std::array<unsigned long, 16> kPseudoMagics = {
    AUTOFS_SUPER_MAGIC,  BINFMTFS_MAGIC, BPF_FS_MAGIC,       CGROUP_SUPER_MAGIC,
    CGROUP2_SUPER_MAGIC, DEBUGFS_MAGIC,  DEVPTS_SUPER_MAGIC, EFIVARFS_MAGIC,
    HUGETLBFS_MAGIC,     NSFS_MAGIC,     PROC_SUPER_MAGIC,   PSTOREFS_MAGIC,
    SECURITYFS_MAGIC,    SELINUX_MAGIC,  SYSFS_MAGIC,        TRACEFS_MAGIC};

bool isPseudoType(std::string_view type) {
    for (const std::string_view pseudo : kPseudoTypes) {
        if (type == pseudo) {
            return true;
        }
    }
    return false;
}

} // namespace

PseudoFileSystems::PseudoFileSystems() {
    // A line: id parent major:minor root mount-point options [tags] - type source options
    std::ifstream mounts("/proc/self/mountinfo");
    std::string line;
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string id;
        std::string parent;
        std::string device;
        fields >> id >> parent >> device;
        const std::size_t separator = line.find(" - ");
        const std::size_t colon = device.find(':');
        if (separator == std::string::npos || colon == std::string::npos) {
            continue;
        }
        std::istringstream rest(line.substr(separator + 3));
        std::string type;
        rest >> type;
        unsigned int major = 0;
        unsigned int minor = 0;
        const char* text = device.data();
        const bool parsed =
            std::from_chars(text, text + colon, major).ec == std::errc() &&
            std::from_chars(text + colon + 1, text + device.size(), minor).ec == std::errc();
        if (parsed && isPseudoType(type)) {
            m_devices.insert(makedev(major, minor));
        }
    }
}

bool PseudoFileSystems::holds(const std::string& path, dev_t device) const {
    if (m_devices.count(device) != 0) {
        return true;
    }
    struct statfs info {};
    if (::statfs(path.c_str(), &info) != 0) {
        return false;
    }
    const auto type = static_cast<unsigned long>(info.f_type);
    for (const unsigned long magic : kPseudoMagics) {
        if (type == magic) {
            return true;
        }
    }
    return false;
}

} // namespace ostrevan
