#include "platform/ole/LibgsfComplaints.h"

#include <glib.h>

#include <algorithm>
#include <array>
#include <mutex>
#include <string_view>

namespace ostrevan {
namespace {

thread_local LibgsfComplaints* current = nullptr;

bool harmless(std::string_view message) {
    static constexpr std::array<std::string_view, 4> quirks = {
        "There are not supposed to be any blocks in the small block allocation table",
        "A non directory stream with children",
        "Root directory is not marked as such",
        // A stream longer than the file: libgsf leaves it out of the directory, and with it
        // the entries it reaches only through it. Windows opens such a file and fails only
        // that stream.
        "size <= (guint32)ole->input->size",
    };
    return std::any_of(quirks.begin(), quirks.end(), [message](std::string_view quirk) {
        return message.find(quirk) != std::string_view::npos;
    });
}

void onMessage(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer data) {
    if (current == nullptr) {
        g_log_default_handler(domain, level, message, data);
        return;
    }
    if ((level & (G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_ERROR)) != 0 &&
        !harmless(message != nullptr ? message : "")) {
        current->add();
    }
}

void installHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        const auto levels =
            static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK | G_LOG_FLAG_FATAL | G_LOG_FLAG_RECURSION);
        for (const char* domain : {"libgsf:msole", "libgsf"}) {
            g_log_set_handler(domain, levels, onMessage, nullptr);
        }
    });
}

} // namespace

LibgsfComplaints::LibgsfComplaints() : m_previous(current) {
    installHandler();
    current = this;
}

LibgsfComplaints::~LibgsfComplaints() {
    current = m_previous;
}

} // namespace ostrevan
