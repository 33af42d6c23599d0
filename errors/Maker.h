#pragma once

#include <string_view>

namespace ostrevan {

// The maker's addresses, shown on the welcome page, in the help window and the error report.
inline constexpr std::string_view kSupportMailAddress = "support@tavrosk.example";
inline constexpr std::string_view kWebSiteAddress = "www.tavrosk.example";

} // namespace ostrevan
