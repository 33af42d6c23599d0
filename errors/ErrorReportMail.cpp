#include "errors/ErrorReportMail.h"

#include "errors/Maker.h"
#include "platform/Controls.h"
#include "platform/Error.h"
#include "platform/Shell.h"
#include "storage/clsSysRegistry.h"

#include <array>
#include <utility>

namespace ostrevan {
namespace {

constexpr std::string_view kVersionKey = "Software\\Tavrosk\\SolidEdge";
constexpr std::string_view kVersionValue = "Version";
constexpr std::string_view kWebScheme = "http://";

// One statement of an absorbing handler: an error in it is dropped and the handler goes on.
template <class Statement> void absorb(Statement&& statement) {
    static_cast<void>(trapError(std::forward<Statement>(statement)));
}

std::string joinLines(const std::array<std::string, 13>& lines) {
    std::string joined;
    for (const std::string& line : lines) {
        if (&line != &lines.front()) {
            joined += kLineBreak;
        }
        joined += line;
    }
    return joined;
}

} // namespace

std::string encodeReportText(std::string_view text) {
    std::string encoded;
    encoded.reserve(text.size());
    for (const char character : text) {
        switch (character) {
        case '%':
            encoded += "%25";
            break;
        case '&':
            encoded += "%26";
            break;
        case '?':
            encoded += "%3F";
            break;
        case '#':
            encoded += "%23";
            break;
        case '+':
            encoded += "%2B";
            break;
        default:
            encoded += character;
        }
    }
    return encoded;
}

std::string mailSubject(std::string_view version) {
    return "Tavrosk für Solid Edge " + encodeReportText(version) + " Fehlermeldung";
}

std::string mailBody(const ErrorReportTexts& texts) {
    return joinLines({
        "Sehr geehrte Damen und Herren,",
        "es tritt in der Anwendung Tavrosk  " + encodeReportText(texts.version) +
            " für Solid Edge folgende Fehlermeldung auf:",
        "",
        "Fehlerbeschreibung:",
        encodeReportText(texts.number) + " " + encodeReportText(texts.description),
        encodeReportText(texts.source),
        "",
        "Wir haben folgendes System im Einsatz: ",
        "Betriebssystem : ",
        "Solid Edge Version : ",
        "Solid Edge SP      : ",
        "",
        "Mit freundlichem Gruß",
    });
}

std::string mailUrl(std::string_view subject, std::string_view body) {
    std::string url = "mailto:";
    url += kSupportMailAddress;
    url += "?cc= &bcc= &subject=";
    url += subject;
    url += "&body=";
    url += body;
    return url;
}

std::string webUrl(std::string_view address) {
    if (address.substr(0, kWebScheme.size()) == kWebScheme) {
        return std::string(address);
    }
    return std::string(kWebScheme) + std::string(address);
}

std::string versionText(RegistryFunctions& registry) {
    std::string version;
    absorb([&] {
        clsSysRegistry oReg(registry);
        version = toText(oReg.GetRegistryValue(regroot::LocalMachine, std::string(kVersionKey),
                                               std::string(kVersionValue)));
    });
    return version;
}

void btn_errorSend_Click(const ErrorFields& fields, RegistryFunctions& registry, Shell& shell) {
    ErrorReportTexts texts;
    std::string subject;
    std::string body;
    std::string url;
    absorb([&] { texts.version = versionText(registry); });
    absorb([&] { subject = mailSubject(texts.version); });
    absorb([&] { texts.number = fields.lbl_errNumber.caption(); });
    absorb([&] { texts.description = fields.lbl_errDescription.caption(); });
    absorb([&] { texts.source = fields.lbl_errSource.caption(); });
    absorb([&] { body = mailBody(texts); });
    absorb([&] { url = mailUrl(subject, body); });
    // No verb: the desktop's default action for the URL.
    absorb([&] { shell.execute({}, url); });
}

void lblURL_Click(MousePointer& pointer, Shell& shell) {
    std::string address;
    std::string url;
    absorb([&] { address = std::string(kWebSiteAddress); });
    absorb([&] { pointer.setPointer(MousePointer::Hourglass); });
    absorb([&] { url = webUrl(address); });
    absorb([&] { shell.execute("Open", url); });
    absorb([&] { pointer.setPointer(MousePointer::Default); });
}

} // namespace ostrevan
