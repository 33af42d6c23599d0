#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ostrevan {

class FileSystem;
class ProfileFunctions;

// One INI file as a library class: whole numbers, booleans ("1"/"0") and strings by section
// and key, the lists of sections and keys, deletions. The file is opened anew by every call.
// Texts are UTF-8 here and Windows-1252 at the profile functions. Name lists keep index 0
// free: the names found are at 1 to n and the list is cut to n + 1 entries; a call that
// finds no name leaves the list as it was.
class clsSystemInitFile final {
public:
    clsSystemInitFile(const FileSystem& fileSystem, ProfileFunctions& profile);

    // "Pfad der INI-Datei." Empty after creation, not checked when set.
    const std::string& File() const { return m_File; }
    void setFile(const std::string& Path) { m_File = Path; }

    // "Überprüfen, ob die INI-Datei existiert."
    bool FileExists() const;

    // "Liest einen Integer-Wert aus der INI-Datei."
    std::int32_t ReadKeyValueInt(const std::string& Section, const std::string& KEY,
                                 std::int32_t Default = 0) const;
    // "Liest einen Boolean-Wert aus der INI-Datei." Any number but 0 is true.
    bool ReadKeyValueBool(const std::string& Section, const std::string& KEY,
                          bool Default = false) const;
    // "Liest einen String-Wert aus der INI-Datei." At most 254 characters; "" (not Default)
    // when File is empty.
    std::string ReadKeyValueStr(const std::string& Section, const std::string& KEY,
                                const std::string& Default = "") const;
    // "Liest einen String-Wert aus der INI-Datei."
    std::string ReadKeyValue(const std::string& Section, const std::string& KEY,
                             const std::string& Default = "") const;

    // "Schreibt einen Integer-Wert in die INI-Datei."
    bool WriteKeyValueInt(const std::string& Section, const std::string& KEY, std::int32_t value);
    // "Schreibt einen Boolean-Wert in die INI-Datei."
    bool WriteKeyValueBool(const std::string& Section, const std::string& KEY, bool value);
    // "Schreibt einen String-Wert in die INI-Datei."
    bool WriteKeyValueStr(const std::string& Section, const std::string& KEY,
                          const std::string& value);
    // "Schreibt einen String-Wert in die INI-Datei."
    bool WriteKeyValue(const std::string& Section, const std::string& KEY,
                       const std::string& value);

    // Reads the file's lines itself: a line with a "[" and a "]" names a section. true when
    // reading failed; the list then keeps what was stored so far.
    bool GetSectionNames(std::vector<std::string>& names) const;
    // Always false.
    bool GetKeyNames(const std::string& sSection, std::vector<std::string>& names) const;

    // "Löscht einen Abschnitt aus der INI-Datei."
    bool DeleteSection(const std::string& Section);
    // "Löscht einen Schlüssel aus der INI-Datei."
    bool DeleteKey(const std::string& Section, const std::string& KEY);

private:
    // The file the profile functions use, also for the members that read it themselves.
    std::string profilePath() const;

    const FileSystem& m_fileSystem;
    ProfileFunctions& m_profile;
    std::string m_File;
};

} // namespace ostrevan
