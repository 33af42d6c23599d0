#include "platform/FileSystem.h"

#include "platform/CachedFileTypes.h"
#include "platform/FileTypeRegistry.h"
#include "platform/NameOrder.h"
#include "platform/Text.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <map>

namespace ostrevan {
namespace {

// The length of the root at the start of path: "/", "\", "C:\", "C:", "\\server\share\".
std::size_t rootLength(std::string_view path) {
    if (path.size() >= 2 && isPathSeparator(path[0]) && isPathSeparator(path[1])) {
        // UNC: \\server\share\ is the root.
        std::size_t pos = 2;
        for (int part = 0; part < 2 && pos <= path.size(); ++part) {
            while (pos < path.size() && !isPathSeparator(path[pos])) {
                ++pos;
            }
            if (pos < path.size()) {
                ++pos;
            }
        }
        return pos;
    }
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        return path.size() >= 3 && isPathSeparator(path[2]) ? 3 : 2;
    }
    return !path.empty() && isPathSeparator(path[0]) ? 1 : 0;
}

// The high bit of each byte of word that is c, no other bit.
std::uint64_t bytesEqualTo(std::uint64_t word, char c) {
    constexpr std::uint64_t kEveryByte = 0x0101010101010101ULL;
    constexpr std::uint64_t kLowBits = kEveryByte * 0x7F;
    const std::uint64_t zeroWhereC = word ^ (kEveryByte * static_cast<unsigned char>(c));
    return ~(((zeroWhereC & kLowBits) + kLowBits) | zeroWhereC | kLowBits);
}

// Where the last component of path[0, end) starts: after the last separator at or after
// root, else at root. Eight bytes at a time from the end, as a name mostly is that long.
std::size_t lastComponentStart(std::string_view path, std::size_t root, std::size_t end) {
    static_assert(std::endian::native == std::endian::little, "the last byte is the highest");
    while (end >= root + 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, path.data() + end - 8, sizeof word);
        const std::uint64_t separators = bytesEqualTo(word, '/') | bytesEqualTo(word, '\\');
        if (separators != 0) {
            return end - 8 + static_cast<std::size_t>(63 - std::countl_zero(separators)) / 8 + 1;
        }
        end -= 8;
    }
    while (end > root && !isPathSeparator(path[end - 1])) {
        --end;
    }
    return end;
}

// GetExtensionName as a part of path.
std::string_view extensionOf(std::string_view path) {
    const std::string_view name = FileSystem::FileNameView(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

} // namespace

std::string FileSystem::BuildPath(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path += folder;
    if (!path.empty() && !isPathSeparator(path.back()) && !name.empty() &&
        !isPathSeparator(name.front())) {
        const bool windows = folder.find('\\') != std::string_view::npos &&
                             folder.find('/') == std::string_view::npos;
        path += windows ? '\\' : '/';
    }
    path += name;
    return path;
}

std::string FileSystem::GetParentFolderName(std::string_view path) {
    return std::string(ParentFolderView(path));
}

std::string FileSystem::GetFileName(std::string_view path) {
    return std::string(FileNameView(path));
}

// A path's root is the root of the path without its trailing separators: those are cut
// after the root only.

std::string_view FileSystem::ParentFolderView(std::string_view path) {
    const std::size_t root = rootLength(path);
    std::size_t end = path.size();
    while (end > root && isPathSeparator(path[end - 1])) {
        --end;
    }
    if (end <= root) {
        return {};
    }
    end = lastComponentStart(path, root, end);
    if (end == 0) {
        return {};
    }
    while (end > root && isPathSeparator(path[end - 1])) {
        --end;
    }
    return path.substr(0, end);
}

std::string_view FileSystem::FileNameView(std::string_view path) {
    const std::size_t root = rootLength(path);
    std::size_t end = path.size();
    while (end > root && isPathSeparator(path[end - 1])) {
        --end;
    }
    const std::size_t start = lastComponentStart(path, root, end);
    return path.substr(start, end - start);
}

std::string FileSystem::GetExtensionName(std::string_view path) {
    return std::string(extensionOf(path));
}

std::string FileSystem::TypeOf(const FileTypeRegistry& types, std::string_view name) {
    const std::string extension = GetExtensionName(name);
    if (extension.empty()) {
        return "Datei";
    }
    const std::optional<std::string> description = types.description(extension);
    if (description && !description->empty()) {
        return *description;
    }
    return upperCase(extension) + "-Datei";
}

void FileSystem::FinishListing(std::vector<File>& files, const FileTypeRegistry& types) {
    sortByName(files);
    const CachedFileTypes listingTypes(types);
    // A type depends on the extension alone: files with one extension, spelt alike, share it.
    std::map<std::string, std::string, std::less<>> typeOfExtension;
    for (auto& file : files) {
        const std::string_view extension = extensionOf(file.Name);
        auto known = typeOfExtension.find(extension);
        if (known == typeOfExtension.end()) {
            known = typeOfExtension.emplace(extension, TypeOf(listingTypes, file.Name)).first;
        }
        file.Type = known->second;
    }
}

} // namespace ostrevan
