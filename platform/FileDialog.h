#pragma once

#include <cstdint>
#include <string>

namespace ostrevan {

// OFN_* option flags of the common dialog.
namespace ofn {
inline constexpr std::int32_t OverwritePrompt = 2;
inline constexpr std::int32_t HideReadOnly = 4;
inline constexpr std::int32_t PathMustExist = 2048;
inline constexpr std::int32_t FileMustExist = 4096;
inline constexpr std::int32_t LongNames = 2097152;
} // namespace ofn

// The system's open-file dialog (the common dialog's ShowOpen), modal over the main window.
struct OpenFileRequest {
    std::string title;
    // OFN_* option flags as the common dialog takes them.
    std::int32_t flags = 0;
    // Filter entries "description|pattern", separated by '|'; patterns of one entry
    // separated by ';' ("Texte|*.txt;*.asc|Alle Dateien|*").
    std::string filter;
    // Cancelling raises 32755 instead of returning the empty text.
    bool cancelError = false;
};

class FileDialog {
public:
    virtual ~FileDialog() = default;
    // The chosen file's full path; on cancel 32755 (cancelError) or the empty text.
    virtual std::string ShowOpen(const OpenFileRequest& request) = 0;
};

} // namespace ostrevan
