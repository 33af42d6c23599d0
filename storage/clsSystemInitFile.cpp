#include "storage/clsSystemInitFile.h"

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFunctions.h"
#include "platform/Text.h"

#include <string_view>

namespace ostrevan {
namespace {

constexpr std::size_t kValueBufferSize = 255;
constexpr std::size_t kKeyListBufferSize = 32767;

// The part of a name list that the profile functions filled, before its first NUL.
std::string beforeNul(const std::string& buffer) {
    return buffer.substr(0, buffer.find('\0'));
}

// Stores name at index n + 1 of a list with index 0 kept free.
void appendName(std::vector<std::string>& names, std::int32_t& n, std::string name) {
    n = n + 1;
    names.resize(static_cast<std::size_t>(n) + 1);
    names[static_cast<std::size_t>(n)] = std::move(name);
}

// 1-based character position of the first c in line, 0 when there is none.
std::int32_t characterPosition(const std::string& line, char c) {
    const std::size_t at = line.find(c);
    return at == std::string::npos ? 0 : characterCount(std::string_view(line).substr(0, at)) + 1;
}

} // namespace

clsSystemInitFile::clsSystemInitFile(const FileSystem& fileSystem, ProfileFunctions& profile)
    : m_fileSystem(fileSystem), m_profile(profile) {}

std::string clsSystemInitFile::profilePath() const {
    return m_profile.ProfilePath(File());
}

bool clsSystemInitFile::FileExists() const {
    return m_fileSystem.FileExists(profilePath());
}

std::int32_t clsSystemInitFile::ReadKeyValueInt(const std::string& Section, const std::string& KEY,
                                                std::int32_t Default) const {
    return static_cast<std::int32_t>(m_profile.GetPrivateProfileInt(
        toWindows1252(Section), toWindows1252(KEY), Default, toWindows1252(File())));
}

bool clsSystemInitFile::ReadKeyValueBool(const std::string& Section, const std::string& KEY,
                                         bool Default) const {
    return m_profile.GetPrivateProfileInt(toWindows1252(Section), toWindows1252(KEY),
                                          Default ? 1 : 0, toWindows1252(File())) != 0;
}

std::string clsSystemInitFile::ReadKeyValueStr(const std::string& Section, const std::string& KEY,
                                               const std::string& Default) const {
    if (File().empty()) {
        return {};
    }
    std::string buffer(kValueBufferSize, ' ');
    m_profile.GetPrivateProfileString(toWindows1252(Section), toWindows1252(KEY),
                                      toWindows1252(Default), buffer, toWindows1252(File()));
    return fromWindows1252(beforeNul(buffer));
}

std::string clsSystemInitFile::ReadKeyValue(const std::string& Section, const std::string& KEY,
                                            const std::string& Default) const {
    return ReadKeyValueStr(Section, KEY, Default);
}

bool clsSystemInitFile::WriteKeyValueInt(const std::string& Section, const std::string& KEY,
                                         std::int32_t value) {
    return WriteKeyValue(Section, KEY, std::to_string(value));
}

bool clsSystemInitFile::WriteKeyValueBool(const std::string& Section, const std::string& KEY,
                                          bool value) {
    if (File().empty()) {
        return false;
    }
    return m_profile.WritePrivateProfileString(toWindows1252(Section), toWindows1252(KEY),
                                               value ? "1" : "0", toWindows1252(File()));
}

bool clsSystemInitFile::WriteKeyValueStr(const std::string& Section, const std::string& KEY,
                                         const std::string& value) {
    return WriteKeyValue(Section, KEY, value);
}

bool clsSystemInitFile::WriteKeyValue(const std::string& Section, const std::string& KEY,
                                      const std::string& value) {
    if (File().empty()) {
        return false;
    }
    return m_profile.WritePrivateProfileString(toWindows1252(Section), toWindows1252(KEY),
                                               toWindows1252(value), toWindows1252(File()));
}

bool clsSystemInitFile::GetSectionNames(std::vector<std::string>& names) const {
    std::int32_t n = 0;
    // Any error, a missing file or a "]" before the "[" (a negative length), is the result.
    return trapError([&] {
               const auto stream = m_fileSystem.OpenTextFile(profilePath(), io::ForReading, false,
                                                             io::TristateFalse);
               while (!stream->AtEndOfStream()) {
                   const std::string line = stream->ReadLine();
                   const std::int32_t p1 = characterPosition(line, '[');
                   if (p1 == 0) {
                       continue;
                   }
                   const std::int32_t p2 = characterPosition(line, ']');
                   if (p2 == 0) {
                       continue;
                   }
                   appendName(names, n, {});
                   names[static_cast<std::size_t>(n)] = midText(line, p1 + 1, p2 - 2);
               }
               stream->Close();
           })
        .has_value();
}

bool clsSystemInitFile::GetKeyNames(const std::string& sSection,
                                    std::vector<std::string>& names) const {
    if (File().empty()) {
        return false;
    }
    std::string buffer(kKeyListBufferSize, ' ');
    m_profile.GetPrivateProfileString(toWindows1252(sSection), std::nullopt, "", buffer,
                                      toWindows1252(File()));
    std::int32_t n = 0;
    // Every piece before a NUL; the rest of the blank-filled buffer after the last NUL is not
    // a name.
    for (std::size_t begin = 0, nul = 0; (nul = buffer.find('\0', begin)) != std::string::npos;
         begin = nul + 1) {
        if (nul > begin) {
            appendName(names, n, fromWindows1252(buffer.substr(begin, nul - begin)));
        }
    }
    return false;
}

bool clsSystemInitFile::DeleteSection(const std::string& Section) {
    if (File().empty()) {
        return false;
    }
    return m_profile.WritePrivateProfileString(toWindows1252(Section), std::nullopt, std::nullopt,
                                               toWindows1252(File()));
}

bool clsSystemInitFile::DeleteKey(const std::string& Section, const std::string& KEY) {
    if (File().empty()) {
        return false;
    }
    return m_profile.WritePrivateProfileString(toWindows1252(Section), toWindows1252(KEY),
                                               std::nullopt, toWindows1252(File()));
}

} // namespace ostrevan
