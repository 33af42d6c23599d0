#include "platform/posix/ProfileEngine.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "platform/posix/ProfileDocument.h"

#include <algorithm>
#include <utility>

namespace ostrevan {
namespace {

// Blanks of a name before a "[" at the start of a line.
constexpr std::string_view kBlanks = " \t\v\f\x1A";

ProfileDocument loadDocument(const std::string& path) {
    // A missing or unreadable file reads as an empty one, as in Windows.
    return ProfileDocument(readProfileFile(path).bytes);
}

std::string_view unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string_view withoutTrailingSpaces(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

std::uint32_t copyText(std::string_view text, std::span<char> buffer) {
    const std::size_t count = std::min(text.size(), buffer.size() - 1);
    std::copy_n(text.begin(), count, buffer.begin());
    buffer[count] = '\0';
    return static_cast<std::uint32_t>(count);
}

std::uint32_t copyList(const std::vector<std::string>& names, std::span<char> buffer) {
    std::string list;
    for (const std::string& name : names) {
        list += name;
        list += '\0';
    }
    if (list.size() < buffer.size()) {
        std::copy(list.begin(), list.end(), buffer.begin());
        buffer[list.size()] = '\0';
        return static_cast<std::uint32_t>(list.size());
    }
    if (buffer.size() < 2) {
        buffer[0] = '\0';
        return 0;
    }
    const std::size_t kept = buffer.size() - 2;
    std::copy_n(list.begin(), kept, buffer.begin());
    buffer[kept] = '\0';
    buffer[kept + 1] = '\0';
    return static_cast<std::uint32_t>(kept);
}

// As RtlUnicodeStringToInteger with base 0: control characters and blanks, a sign, a base
// prefix, then digits up to the first that does not belong; the total wraps at 32 bits.
std::uint32_t parseInteger(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) <= ' ') {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    std::uint32_t base = 10;
    const std::string_view prefix = text.substr(pos, 2);
    if (prefix == "0x") {
        base = 16;
    } else if (prefix == "0o") {
        base = 8;
    } else if (prefix == "0b") {
        base = 2;
    }
    if (base != 10) {
        pos += 2;
    }
    std::uint32_t total = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = hexDigitValue(text[pos]);
        if (digit < 0 || static_cast<std::uint32_t>(digit) >= base) {
            break;
        }
        total = total * base + static_cast<std::uint32_t>(digit);
    }
    return negative ? 0U - total : total;
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Such a write would make lines that read back as other keys or sections.
bool breaksStructure(std::string_view section, AnsiArgument key, AnsiArgument value) {
    if (hasLineBreak(section)) {
        return true;
    }
    if (key) {
        const std::size_t first = key->find_first_not_of(kBlanks);
        if (hasLineBreak(*key) || key->find('=') != std::string_view::npos ||
            (first != std::string_view::npos && (*key)[first] == '[')) {
            return true;
        }
    }
    return value && hasLineBreak(*value);
}

} // namespace

ProfileEngine::ProfileEngine(std::string configFolder, BeforeReplace beforeReplace)
    : m_configFolder(std::move(configFolder)), m_beforeReplace(std::move(beforeReplace)) {}

std::string ProfileEngine::ProfilePath(std::string_view fileName) const {
    if (fileName.empty() || fileName.find('/') != std::string_view::npos) {
        return std::string(fileName);
    }
    return FileSystem::BuildPath(m_configFolder, fileName);
}

std::uint32_t ProfileEngine::GetPrivateProfileInt(std::string_view lpAppName,
                                                  std::string_view lpKeyName, std::int32_t nDefault,
                                                  std::string_view lpFileName) const {
    const auto value =
        loadDocument(ProfilePath(fromWindows1252(lpFileName))).value(lpAppName, lpKeyName);
    const std::string_view text = value ? unquoted(*value) : std::string_view();
    return text.empty() ? static_cast<std::uint32_t>(nDefault) : parseInteger(text);
}

std::uint32_t ProfileEngine::GetPrivateProfileString(AnsiArgument lpAppName, AnsiArgument lpKeyName,
                                                     AnsiArgument lpDefault,
                                                     std::span<char> lpReturnedString,
                                                     std::string_view lpFileName) const {
    if (lpReturnedString.empty()) {
        return 0;
    }
    const ProfileDocument document = loadDocument(ProfilePath(fromWindows1252(lpFileName)));
    if (!lpAppName) {
        return copyList(document.sectionNames(), lpReturnedString);
    }
    // A missing section gives the default for its key list too.
    if (!lpKeyName && document.hasSection(*lpAppName)) {
        return copyList(document.keyNames(*lpAppName), lpReturnedString);
    }
    if (const auto value = lpKeyName ? document.value(*lpAppName, *lpKeyName) : std::nullopt) {
        return copyText(unquoted(*value), lpReturnedString);
    }
    return copyText(withoutTrailingSpaces(lpDefault.value_or("")), lpReturnedString);
}

bool ProfileEngine::WritePrivateProfileString(std::string_view lpAppName, AnsiArgument lpKeyName,
                                              AnsiArgument lpString, std::string_view lpFileName) {
    const std::string path = ProfilePath(fromWindows1252(lpFileName));
    if (path.empty() || breaksStructure(lpAppName, lpKeyName, lpString)) {
        return false;
    }
    const auto target = profileWriteTarget(path);
    if (!target || !profileFolderExists(*target)) {
        return false;
    }
    const ProfileWriteLock lock(*target);
    if (!lock.held()) {
        return false;
    }
    const ProfileFileContents old = readProfileFile(*target);
    // Writing over a file that could not be read would lose it.
    if (old.state == ProfileFileContents::State::Unreadable) {
        return false;
    }
    ProfileDocument document(old.bytes);
    if (!lpKeyName) {
        if (!document.deleteSection(lpAppName)) {
            return true;
        }
    } else if (!lpString) {
        if (!document.deleteKey(lpAppName, *lpKeyName)) {
            return true;
        }
    } else {
        document.setValue(lpAppName, *lpKeyName, *lpString);
    }
    return replaceProfileFile(*target, document.bytes(), m_beforeReplace);
}

} // namespace ostrevan
