#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace ostrevan {

// The name under which errors raised inside the program carry their source.
inline constexpr std::string_view kProgramName = "Ostrevan";

// Runtime error numbers the platform layer raises.
namespace err {
inline constexpr std::int32_t InvalidCall = 5;
inline constexpr std::int32_t Overflow = 6;
inline constexpr std::int32_t OutOfMemory = 7;
inline constexpr std::int32_t SubscriptOutOfRange = 9;
inline constexpr std::int32_t TypeMismatch = 13;
inline constexpr std::int32_t InternalError = 51;
inline constexpr std::int32_t FileNotFound = 53;
inline constexpr std::int32_t DeviceIo = 57;
inline constexpr std::int32_t DiskFull = 61;
inline constexpr std::int32_t PermissionDenied = 70;
inline constexpr std::int32_t PathFileAccess = 75;
inline constexpr std::int32_t PathNotFound = 76;
inline constexpr std::int32_t ObjectNotSet = 91;
inline constexpr std::int32_t BadFileFormat = 321;
inline constexpr std::int32_t ObjectRequired = 424;
inline constexpr std::int32_t CannotCreateObject = 429;
inline constexpr std::int32_t NotSupported = 438;
inline constexpr std::int32_t Cancelled = 32755;
} // namespace err

// The German description of a runtime error number; numbers without an entry get the
// text for an application-defined error.
std::string errorDescription(std::int32_t number);

// The current error: number, source and description. Thrown where an error is raised and
// caught only where a procedure has a trap.
class Error final : public std::exception {
public:
    // Source is the program's name, description the runtime's text for the number.
    explicit Error(std::int32_t number);
    Error(std::int32_t number, std::string source, std::string description);

    std::int32_t number() const { return m_number; }
    const std::string& source() const { return m_source; }
    const std::string& description() const { return m_description; }
    void setSource(std::string source);
    void setDescription(std::string description);

    const char* what() const noexcept override { return m_what.c_str(); }

private:
    std::int32_t m_number;
    std::string m_source;
    std::string m_description;
    std::string m_what;
};

[[noreturn]] void raise(std::int32_t number);
[[noreturn]] void raise(std::int32_t number, std::string source, std::string description);

// The error an exception stands for; call only inside a catch block. Error passes as it is;
// std::bad_alloc becomes 7, a std::system_error the number of its errno, anything else 51.
Error caughtError();

// Runs body; returns the error it raised, or nothing when it returned normally.
template <class Body> std::optional<Error> trapError(Body&& body) {
    try {
        body();
        return std::nullopt;
    } catch (...) {
        return caughtError();
    }
}

// The text of a reporting trap: label + description + separator + number.
std::string trapMessage(std::string_view label, const Error& error, std::string_view separator);

// The platform's standard message for an error that reached an event handler untrapped.
std::string standardErrorMessage(const Error& error);

// The runtime error number for an errno value (ENOENT 53, EACCES 70, ENOSPC 61, ...).
std::int32_t errorNumberForErrno(int errnoValue);

} // namespace ostrevan
