#pragma once

// The error dialog's two ways of reaching the maker: "Senden" composes a mailto: URL with the
// error report and hands it to the shell; the web link opens the maker's site. Both handlers
// absorb errors statement by statement: a failing step is skipped and the next one runs.

#include <string>
#include <string_view>

namespace ostrevan {

class Label;
class MousePointer;
class RegistryFunctions;
class Shell;

// The percent-encoded CR LF between the lines of the mail body.
inline constexpr std::string_view kLineBreak = "%0D%0A";

// The dialog's three error fields, as the report reads them.
struct ErrorFields {
    Label& lbl_errNumber;
    Label& lbl_errDescription;
    Label& lbl_errSource;
};

// The texts of one report, as read (not yet encoded).
struct ErrorReportTexts {
    std::string version;
    std::string number;
    std::string description;
    std::string source;
};

// % & ? # + percent-encoded (%25 %26 %3F %23 %2B): a field holding them can neither cut the
// body short nor add a header to the mail. Everything else stays as it is.
std::string encodeReportText(std::string_view text);

// "Tavrosk für Solid Edge " + version + " Fehlermeldung", the version encoded.
std::string mailSubject(std::string_view version);
// The thirteen lines joined by kLineBreak, the four texts encoded.
std::string mailBody(const ErrorReportTexts& texts);
// mailto: + the support address + ?cc= &bcc= &subject= + subject + &body= + body.
std::string mailUrl(std::string_view subject, std::string_view body);

// "http://" in front of an address that does not begin with exactly that.
std::string webUrl(std::string_view address);

// The text of HKEY_LOCAL_MACHINE "Software\Tavrosk\SolidEdge" "Version"; empty when it is
// missing or cannot be read or converted. Never raises.
std::string versionText(RegistryFunctions& registry);

// "Senden": reads the version and the three fields and hands the mail URL to the shell.
// Never raises.
void btn_errorSend_Click(const ErrorFields& fields, RegistryFunctions& registry, Shell& shell);

// The web link: hourglass, "Open" the maker's site, default pointer, whatever fails.
// Never raises.
void lblURL_Click(MousePointer& pointer, Shell& shell);

} // namespace ostrevan
