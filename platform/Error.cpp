#include "platform/Error.h"

#include <cerrno>
#include <map>
#include <new>
#include <system_error>

namespace ostrevan {
namespace {

const std::map<std::int32_t, std::string_view>& descriptions() {
    static const std::map<std::int32_t, std::string_view> table{
        {3, "Return ohne GoSub"},
        {5, "Unzulässiger Prozeduraufruf oder ungültiges Argument"},
        {6, "Überlauf"},
        {7, "Nicht genügend Speicher"},
        {9, "Index außerhalb des gültigen Bereichs"},
        {11, "Division durch Null"},
        {13, "Typen unverträglich"},
        {28, "Nicht genügend Stapelspeicher"},
        {51, "Interner Fehler"},
        {52, "Dateiname oder -nummer falsch"},
        {53, "Datei nicht gefunden"},
        {54, "Dateimodus falsch"},
        {55, "Datei bereits geöffnet"},
        {57, "Fehler beim Geräte-E/A"},
        {58, "Datei existiert bereits"},
        {61, "Datenträger voll"},
        {62, "Einlesen hinter Dateiende"},
        {67, "Zu viele Dateien"},
        {68, "Gerät nicht verfügbar"},
        {70, "Zugriff verweigert"},
        {71, "Datenträger nicht bereit"},
        {75, "Fehler beim Zugriff auf Pfad/Datei"},
        {76, "Pfad nicht gefunden"},
        {91, "Objektvariable oder With-Blockvariable nicht festgelegt"},
        {94, "Unzulässige Verwendung von Null"},
        {321, "Ungültiges Dateiformat"},
        {424, "Objekt erforderlich"},
        {429, "Objekterstellung durch ActiveX-Komponente nicht möglich"},
        {438, "Objekt unterstützt diese Eigenschaft oder Methode nicht"},
        {440, "Automatisierungsfehler"},
        {445, "Objekt unterstützt diese Aktion nicht"},
        {32755, "Abbrechen wurde gewählt."},
    };
    return table;
}

std::string composeWhat(std::int32_t number, const std::string& source,
                        const std::string& description) {
    return source + ": " + description + " (" + std::to_string(number) + ")";
}

} // namespace

std::string errorDescription(std::int32_t number) {
    const auto& table = descriptions();
    const auto found = table.find(number);
    return std::string(found != table.end() ? found->second
                                            : "Anwendungs- oder objektdefinierter Fehler");
}

Error::Error(std::int32_t number)
    : Error(number, std::string(kProgramName), errorDescription(number)) {}

Error::Error(std::int32_t number, std::string source, std::string description)
    : m_number(number), m_source(std::move(source)), m_description(std::move(description)),
      m_what(composeWhat(m_number, m_source, m_description)) {}

void Error::setSource(std::string source) {
    m_source = std::move(source);
    m_what = composeWhat(m_number, m_source, m_description);
}

void Error::setDescription(std::string description) {
    m_description = std::move(description);
    m_what = composeWhat(m_number, m_source, m_description);
}

void raise(std::int32_t number) {
    throw Error(number);
}

void raise(std::int32_t number, std::string source, std::string description) {
    throw Error(number, std::move(source), std::move(description));
}

std::int32_t errorNumberForErrno(int errnoValue) {
    switch (errnoValue) {
    case ENOENT:
        return err::FileNotFound;
    case ENOTDIR:
        return err::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return err::PermissionDenied;
    case ENOSPC:
#ifdef EDQUOT // not on Windows
    case EDQUOT:
#endif
    case EFBIG:
        return err::DiskFull;
    case EIO:
        return err::DeviceIo;
    case ENOMEM:
        return err::OutOfMemory;
    case EMFILE:
    case ENFILE:
        return 67;
    default:
        return err::PathFileAccess;
    }
}

Error caughtError() {
    try {
        throw;
    } catch (const Error& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return Error(err::OutOfMemory);
    } catch (const std::system_error& error) {
        // The system's own codes (errno, or a Windows error code) as their errno condition.
        const std::error_condition condition = error.code().default_error_condition();
        if (condition.category() == std::generic_category()) {
            return Error(errorNumberForErrno(condition.value()));
        }
        return Error(err::InternalError);
    } catch (...) {
        return Error(err::InternalError);
    }
}

std::string trapMessage(std::string_view label, const Error& error, std::string_view separator) {
    std::string text(label);
    text += error.description();
    text += separator;
    text += std::to_string(error.number());
    return text;
}

std::string standardErrorMessage(const Error& error) {
    return "Laufzeitfehler '" + std::to_string(error.number()) + "':\n\n" + error.description();
}

} // namespace ostrevan
