#include "platform/posix/RegistrySystemTexts.h"

#include "platform/RegistryFunctions.h"
#include "platform/Text.h"

#include <algorithm>
#include <map>
#include <string>
#include <string_view>

namespace ostrevan {
namespace {

constexpr std::uint32_t kIgnoreInserts = 0x200;

// The texts of the codes the registry functions return, and a few neighbours; UTF-8 here.
const std::map<std::uint32_t, std::string_view>& messages() {
    static const std::map<std::uint32_t, std::string_view> table{
        {0, "Der Vorgang wurde erfolgreich beendet."},
        {1, "Unzulässige Funktion."},
        {2, "Das System kann die angegebene Datei nicht finden."},
        {3, "Das System kann den angegebenen Pfad nicht finden."},
        {5, "Zugriff verweigert"},
        {6, "Das Handle ist ungültig."},
        {8, "Nicht genügend Speicher verfügbar, um diesen Befehl zu verarbeiten."},
        {14, "Nicht genügend Speicher, um diesen Vorgang abzuschließen."},
        {33, "Der Prozess kann nicht auf die Datei zugreifen, da ein anderer Prozess einen "
             "Teil der Datei gesperrt hat."},
        {87, "Falscher Parameter."},
        {112, "Nicht genügend Speicherplatz auf dem Datenträger."},
        {122, "Der an einen Systemaufruf übergebene Datenbereich ist zu klein."},
        {161, "Der angegebene Pfad ist ungültig."},
        {191, "%1 kann nicht im Win32-Modus ausgeführt werden."},
        {193, "%1 ist keine zulässige Win32-Anwendung."},
        {234, "Weitere Daten sind verfügbar."},
        {259, "Es sind keine Daten mehr verfügbar."},
        {317, "Der Text zur Meldungsnummer 0x%1 wurde in der Meldungsdatei für %2 nicht "
              "gefunden."},
        {1009, "Die Konfigurationsregistrierungsdatenbank ist beschädigt."},
        {1010, "Der Konfigurationsregistrierungsschlüssel ist ungültig."},
        {1011, "Der Konfigurationsregistrierungsschlüssel konnte nicht geöffnet werden."},
        {1012, "Der Konfigurationsregistrierungsschlüssel konnte nicht gelesen werden."},
        {1013, "Der Konfigurationsregistrierungsschlüssel konnte nicht geschrieben werden."},
    };
    return table;
}

// An HRESULT of the Win32 facility (0x8007xxxx) carries a Win32 code.
std::uint32_t win32Code(std::uint32_t messageId) {
    return (messageId & 0xFFFF0000U) == 0x80070000U ? messageId & 0xFFFFU : messageId;
}

} // namespace

std::uint32_t formatSystemMessage(std::uint32_t flags, std::uint32_t messageId, char* buffer,
                                  std::uint32_t size, const void* arguments,
                                  std::uint32_t* lastError) {
    const auto fail = [&](std::int32_t code) {
        *lastError = static_cast<std::uint32_t>(code);
        return 0U;
    };
    if ((flags & FormatMessageFromSystem) == 0 || buffer == nullptr) {
        return fail(winerror::InvalidParameter);
    }
    const auto found = messages().find(win32Code(messageId));
    if (found == messages().end()) {
        return fail(winerror::MessageNotFound);
    }
    const bool hasInserts = found->second.find('%') != std::string_view::npos;
    if (hasInserts && (flags & kIgnoreInserts) == 0 && arguments == nullptr) {
        return fail(winerror::InvalidParameter);
    }
    const std::string text = toWindows1252(found->second) + "\r\n";
    if (text.size() + 1 > size) {
        return fail(winerror::InsufficientBuffer);
    }
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = '\0';
    return static_cast<std::uint32_t>(text.size());
}

} // namespace ostrevan
