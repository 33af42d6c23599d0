#include "platform/ole/Moniker.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "platform/ole/ByteReader.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace ostrevan {
namespace {

// {000003xx-0000-0000-C000-000000000046}, stored in packet form.
constexpr Clsid systemMoniker(std::uint8_t kind) {
    return {kind, 0x03, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
}
constexpr Clsid kItemMoniker = systemMoniker(0x04);
constexpr Clsid kAntiMoniker = systemMoniker(0x05);
constexpr Clsid kCompositeMoniker = systemMoniker(0x09);
// {79EAC9E0-BAF9-11CE-8C82-00AA004BA90B}
constexpr Clsid kUrlMoniker = {0xE0, 0xC9, 0xEA, 0x79, 0xF9, 0xBA, 0xCE, 0x11,
                               0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B};

constexpr std::uint16_t kFileMonikerVersion = 0xDEAD;
constexpr std::uint16_t kUnicodePathKey = 3;
constexpr std::uint32_t kMaxAnsiLength = 32767;
constexpr std::uint32_t kMaxAntiCount = 1048576;
constexpr std::int32_t kMaxUpLevels = 1048576;
// Composites inside composites are legal but never deep in practice.
constexpr int kMaxNesting = 8;

bool sameClsid(std::span<const std::uint8_t> bytes, const Clsid& clsid) {
    return bytes.size() == clsid.size() && std::equal(bytes.begin(), bytes.end(), clsid.begin());
}

// The bytes up to the first NUL.
std::string_view untilNul(std::span<const std::uint8_t> bytes) {
    const auto nul = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return {reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::size_t>(nul - bytes.begin())};
}

// UTF-16LE up to the first NUL unit.
std::string utf16UntilNul(std::span<const std::uint8_t> bytes) {
    std::size_t units = 0;
    while (2 * units + 1 < bytes.size() && (bytes[2 * units] != 0 || bytes[2 * units + 1] != 0)) {
        ++units;
    }
    return fromUtf16Le(bytes.first(2 * units));
}

// Moves leading "..\" (or "../") steps of target.path into upLevels.
void foldParentSteps(MonikerTarget& target) {
    std::string_view path = target.path;
    std::int32_t steps = 0;
    while (path.size() >= 2 && path[0] == '.' && path[1] == '.' &&
           (path.size() == 2 || isPathSeparator(path[2]))) {
        path.remove_prefix(std::min<std::size_t>(3, path.size()));
        ++steps;
    }
    target.path.erase(0, target.path.size() - path.size());
    target.upLevels += steps;
}

// Solid Edge and Word write the path after "..\" steps as "\Name.par" as often as
// "Name.par"; both mean the same.
void dropSeparatorAfterSteps(MonikerTarget& target) {
    const std::string& path = target.path;
    if (target.upLevels > 0 && !path.empty() && isPathSeparator(path[0]) &&
        (path.size() == 1 || !isPathSeparator(path[1]))) {
        target.path.erase(0, 1);
    }
}

// Drops count trailing components of path; false when it has fewer.
bool dropComponents(std::string& path, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto last = path.find_last_of("\\/");
        if (path.empty()) {
            return false;
        }
        path.erase(last == std::string::npos ? 0 : last);
    }
    return true;
}

// The key-3 record of the Unicode block of a file moniker: records {u32 cb, u16 key, cb
// bytes} that must fill the block exactly.
bool readUnicodePath(ByteReader& reader, std::optional<std::string>& unicodePath) {
    const std::uint32_t blockSize = reader.u32();
    ByteReader block(reader.bytes(blockSize));
    while (reader.ok() && !block.atEnd()) {
        const std::uint32_t recordBytes = block.u32();
        const std::uint16_t key = block.u16();
        const auto record = block.bytes(recordBytes);
        if (!block.ok()) {
            return false;
        }
        if (key == kUnicodePathKey) {
            if (recordBytes % 2 != 0 || unicodePath) {
                return false;
            }
            unicodePath = fromUtf16Le(record);
        }
    }
    return reader.ok();
}

bool parseFileMoniker(ByteReader& reader, MonikerTarget& target) {
    MonikerTarget file;
    file.upLevels = reader.u16();
    const std::uint32_t ansiLength = reader.u32();
    if (ansiLength == 0 || ansiLength > kMaxAnsiLength) {
        return false;
    }
    const auto ansiPath = reader.bytes(ansiLength);
    reader.u16(); // endServer
    const bool versionOk = reader.u16() == kFileMonikerVersion;
    reader.skip(16 + 4); // reserved1, reserved2 (values vary between writers)
    std::optional<std::string> unicodePath;
    if (!versionOk || !readUnicodePath(reader, unicodePath)) {
        return false;
    }
    file.unicodePart = unicodePath.has_value();
    file.path = unicodePath ? std::move(*unicodePath) : fromWindows1252(untilNul(ansiPath));
    foldParentSteps(file);

    if (target.path.empty() && target.item.empty()) {
        file.upLevels += target.upLevels;
        if (file.upLevels > kMaxUpLevels) {
            return false;
        }
        dropSeparatorAfterSteps(file);
        file.isUrl = target.isUrl;
        target = std::move(file);
        return true;
    }
    // A file moniker composed onto a path continues it.
    if (!target.item.empty() || target.isUrl ||
        !dropComponents(target.path, static_cast<std::uint32_t>(file.upLevels))) {
        return false;
    }
    if (!target.path.empty() && !file.path.empty()) {
        target.path += '\\';
    }
    target.path += file.path;
    target.unicodePart = target.unicodePart || file.unicodePart;
    return true;
}

// One of delimiter or item: u32 byte count of an ANSI string with its NUL, then optionally
// the same text as UTF-16LE.
bool readItemText(ByteReader& reader, std::string& text) {
    const std::uint32_t length = reader.u32();
    const auto all = reader.bytes(length);
    if (!reader.ok()) {
        return false;
    }
    const std::string_view ansi = untilNul(all);
    if (ansi.size() < all.size()) {
        const auto unicode = all.subspan(ansi.size() + 1);
        if (!unicode.empty()) {
            text = utf16UntilNul(unicode);
            return true;
        }
    }
    text = fromWindows1252(ansi);
    return true;
}

bool parseItemMoniker(ByteReader& reader, MonikerTarget& target) {
    std::string delimiter;
    std::string item;
    if (!readItemText(reader, delimiter) || !readItemText(reader, item)) {
        return false;
    }
    target.item += delimiter + item;
    return true;
}

bool parseAntiMoniker(ByteReader& reader, MonikerTarget& target) {
    const std::uint32_t count = reader.u32();
    if (!reader.ok() || count > kMaxAntiCount) {
        return false;
    }
    if (target.path.empty()) {
        target.upLevels += static_cast<std::int32_t>(count);
        return target.upLevels <= kMaxUpLevels;
    }
    return target.item.empty() && dropComponents(target.path, count);
}

std::string percentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexDigitValue(text[i + 1]) >= 0 &&
            hexDigitValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexDigitValue(text[i + 1]) * 16 + hexDigitValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

bool hasDrive(std::string_view path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) &&
           (path[1] == ':' || path[1] == '|');
}

// file:///C:/a/b, file://C:\a\b, file://server/share/a, file:///home/a.
std::string pathOfFileUrl(std::string_view url) {
    url.remove_prefix(5);
    std::size_t slashes = 0;
    while (slashes < url.size() && isPathSeparator(url[slashes])) {
        ++slashes;
    }
    std::string rest = percentDecoded(url.substr(slashes));
    if (slashes == 2 && startsWithNoCase(rest, "localhost/")) {
        rest.erase(0, 10);
        slashes = 3;
    }
    if (hasDrive(rest)) {
        rest[1] = ':';
        std::replace(rest.begin(), rest.end(), '/', '\\');
        return rest;
    }
    if (slashes == 2) {
        std::replace(rest.begin(), rest.end(), '/', '\\');
        return "\\\\" + rest;
    }
    return "/" + rest;
}

bool parseUrlMoniker(ByteReader& reader, MonikerTarget& target) {
    const std::uint32_t length = reader.u32();
    const auto body = reader.bytes(length);
    if (!reader.ok() || !target.path.empty() || target.upLevels != 0) {
        return false;
    }
    const std::string url = utf16UntilNul(body);
    if (startsWithNoCase(url, "file:")) {
        target.path = pathOfFileUrl(url);
    } else {
        target.path = url;
        target.isUrl = true;
    }
    return true;
}

bool parseInto(ByteReader& reader, MonikerTarget& target, int depth);

bool parseCompositeMoniker(ByteReader& reader, MonikerTarget& target, int depth) {
    const std::uint32_t count = reader.u32();
    // Each element needs at least its class id.
    if (!reader.ok() || count > reader.remaining() / 16) {
        return false;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!parseInto(reader, target, depth + 1)) {
            return false;
        }
    }
    return true;
}

bool parseInto(ByteReader& reader, MonikerTarget& target, int depth) {
    const auto clsid = reader.bytes(16);
    if (!reader.ok() || depth > kMaxNesting) {
        return false;
    }
    bool parsed = false;
    if (sameClsid(clsid, kFileMonikerClsid)) {
        parsed = parseFileMoniker(reader, target);
    } else if (sameClsid(clsid, kItemMoniker)) {
        parsed = parseItemMoniker(reader, target);
    } else if (sameClsid(clsid, kAntiMoniker)) {
        parsed = parseAntiMoniker(reader, target);
    } else if (sameClsid(clsid, kCompositeMoniker)) {
        parsed = parseCompositeMoniker(reader, target, depth);
    } else if (sameClsid(clsid, kUrlMoniker)) {
        parsed = parseUrlMoniker(reader, target);
    }
    return parsed && reader.ok();
}

} // namespace

std::string MonikerTarget::displayName() const {
    std::string name;
    for (std::int32_t i = 0; i < upLevels; ++i) {
        name += "..\\";
    }
    return name + path + item;
}

std::optional<MonikerTarget> readMoniker(ByteReader& reader) {
    std::optional<MonikerTarget> target(std::in_place);
    if (!parseInto(reader, *target, 0)) {
        reader.fail();
        target.reset();
    }
    return target;
}

std::optional<MonikerTarget> parseMoniker(std::span<const std::uint8_t> monikerStream) {
    ByteReader reader(monikerStream);
    return readMoniker(reader);
}

} // namespace ostrevan
