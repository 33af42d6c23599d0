#pragma once

#include <string>
#include <sys/types.h>
#include <unordered_set>

namespace ostrevan {

// The file systems of the kernel's own (proc, sysfs, devtmpfs, cgroup and the like): their
// folders hold no one's documents, and walking them can block or never end (a link to "/"
// inside a chosen folder leads to /proc and /sys).
class PseudoFileSystems final {
public:
    // Reads the mounts of this process once.
    PseudoFileSystems();

    // Whether the folder at path, on the given device, lies on such a file system: by the
    // mounts read at construction, or by its file system's type for one mounted since.
    bool holds(const std::string& path, dev_t device) const;

private:
    std::unordered_set<dev_t> m_devices;
};

} // namespace ostrevan
