#include "platform/posix/RegistryIcons.h"

#include <map>
#include <mutex>
#include <utility>

namespace ostrevan {

std::int32_t iconHandle(const std::string& file, std::int32_t index) {
    // Icon handles belong to the process, as they do on Windows.
    static std::mutex guard;
    static std::map<std::pair<std::string, std::int32_t>, std::int32_t> handles;
    const std::lock_guard lock(guard);
    const auto [entry, added] =
        handles.try_emplace({file, index}, static_cast<std::int32_t>(handles.size() + 1));
    return entry->second;
}

} // namespace ostrevan
