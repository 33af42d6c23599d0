#include "tests/support/RegistryVectors.h"

#include "tests/support/Environment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

namespace ostrevan::test {
namespace {

constexpr unsigned char kUntouched = 0xAA;
constexpr std::uint32_t kUntouchedNumber = 0xAAAAAAAA;

// A string argument: plain ASCII, or {text, cp1252_hex, escaped}.
std::string ansiText(const Json& value) {
    return value.isObject() ? value["cp1252_hex"].hexBytes() : value.text();
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::uint32_t number(const Json& value) {
    return static_cast<std::uint32_t>(value.integer());
}

// An out-buffer: {"size": n}, null, or absent. A buffer of size 0 still gets one byte so
// that it is a valid pointer.
struct OutBuffer {
    std::optional<std::vector<unsigned char>> bytes;
    std::uint32_t size = 0;

    explicit OutBuffer(const Json& spec) {
        if (spec.isObject()) {
            size = number(spec["size"]);
            bytes.emplace(std::max<std::uint32_t>(size, 1), kUntouched);
        }
    }
    unsigned char* data() { return bytes ? bytes->data() : nullptr; }
    char* text() { return reinterpret_cast<char*>(data()); }
};

// The bytes shown are what the call wrote from the start; everything after is untouched.
void expectBuffer(const OutBuffer& buffer, const Json& expected, const std::string& what) {
    if (!expected.isObject() || !buffer.bytes) {
        return;
    }
    const std::string bytes = expected.hexBytes();
    const std::vector<unsigned char>& actual = *buffer.bytes;
    ASSERT_LE(bytes.size(), actual.size()) << what;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        const unsigned char want =
            i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : kUntouched;
        EXPECT_EQ(actual[i], want) << what << " byte " << i;
    }
}

void expectNumber(std::uint32_t actual, const Json& expected, const std::string& what) {
    if (expected.isMissing()) {
        return;
    }
    if (expected.isString() && expected.text() == "unchanged") {
        EXPECT_EQ(actual, kUntouchedNumber) << what << " should be unchanged";
        return;
    }
    EXPECT_EQ(actual, number(expected)) << what;
}

} // namespace

std::vector<RegistryCase> registryCases(const char* file) {
    std::vector<RegistryCase> cases;
    const Json document = Json::load(std::string(OSTREVAN_TEST_DATA "/registry/") + file);
    for (const Json& entry : document.items()) {
        cases.push_back({entry["id"].text(), entry});
    }
    return cases;
}

std::vector<RegistryCase> allRegistryCases() {
    std::vector<RegistryCase> cases;
    for (const char* name : {"registry.json", "environment.json", "formatmessage.json"}) {
        const auto loaded = registryCases(name);
        cases.insert(cases.end(), loaded.begin(), loaded.end());
    }
    return cases;
}

std::string registryTestName(const RegistryCase& registryCase) {
    std::string name = registryCase.id;
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

RegistryPlayer::RegistryPlayer(RegistryFunctions& registry,
                               std::function<std::uint32_t()> lastError, ValueOrder order)
    : m_registry(registry), m_lastError(std::move(lastError)), m_order(order) {
    m_handles["HKEY_CURRENT_USER"] = {hkey::CurrentUser, "HKCU"};
    m_handles["HKEY_CLASSES_ROOT"] = {hkey::ClassesRoot, "HKCR"};
    m_handles["HKEY_LOCAL_MACHINE"] = {hkey::LocalMachine, "HKLM"};
}

void RegistryPlayer::play(const RegistryCase& registryCase) {
    HKEY base = 0;
    ASSERT_EQ(m_registry.RegCreateKeyEx(hkey::CurrentUser, "Software\\OracleTest", 0, nullptr, 0,
                                        keyaccess::AllAccess, nullptr, &base, nullptr),
              0);
    m_registry.RegCloseKey(base);
    std::vector<std::unique_ptr<ScopedEnvironment>> environment;
    for (const auto& [name, value] : registryCase.json["setup"]["environment"].members()) {
        environment.push_back(std::make_unique<ScopedEnvironment>(
            name, value.isNull() ? std::nullopt : std::optional<std::string>(value.text())));
    }
    const auto& calls = registryCase.json["calls"].items();
    for (std::size_t i = 0; i < calls.size(); ++i) {
        call(calls[i], registryCase.id + " call " + std::to_string(i));
    }
}

void RegistryPlayer::call(const Json& call, const std::string& where) {
    const std::string& fn = call["fn"].text();
    const Json& args = call["args"];
    const auto ret = static_cast<std::int32_t>(call["ret"].integer());
    if (fn == "RegOpenKeyExA" || fn == "RegCreateKeyExA") {
        openOrCreate(fn, args, call, ret, where);
    } else if (fn == "RegSetValueExA") {
        const std::string name = ansiText(args["lpValueName"]);
        const std::string data = args["lpData"].hexBytes();
        const Handle& key = handle(args);
        EXPECT_EQ(m_registry.RegSetValueEx(key.hkey, name.c_str(), 0, number(args["dwType"]),
                                           reinterpret_cast<const unsigned char*>(data.data()),
                                           number(args["cbData"])),
                  ret)
            << where;
        if (ret == 0) {
            remember(key.path, name);
        }
    } else if (fn == "RegQueryValueExA") {
        queryValue(args, call, ret, where);
    } else if (fn == "RegDeleteValueA") {
        const std::string name = ansiText(args["lpValueName"]);
        EXPECT_EQ(m_registry.RegDeleteValue(handle(args).hkey, name.c_str()), ret) << where;
        if (ret == 0) {
            forget(handle(args).path, name);
        }
    } else if (fn == "RegCloseKey") {
        EXPECT_EQ(m_registry.RegCloseKey(handle(args).hkey), ret) << where;
    } else if (fn == "RegQueryInfoKeyA") {
        queryInfo(args, call, ret, where);
    } else if (fn == "RegEnumKeyExA") {
        enumKey(args, call, ret, where);
    } else if (fn == "RegEnumValueA") {
        enumValue(args, call, ret, where);
    } else if (fn == "ExpandEnvironmentStringsA") {
        OutBuffer target(args["lpDst"]);
        const std::string source = ansiText(args["lpSrc"]);
        EXPECT_EQ(m_registry.ExpandEnvironmentStrings(source.c_str(), target.text(),
                                                      number(args["nSize"])),
                  static_cast<std::uint32_t>(ret))
            << where;
        expectBuffer(target, call["dst"], where + " dst");
    } else if (fn == "FormatMessageA") {
        formatMessage(args, call, ret, where);
    } else {
        ADD_FAILURE() << where << ": unknown function " << fn;
    }
}

const RegistryPlayer::Handle& RegistryPlayer::handle(const Json& args) {
    return m_handles[args["hKey"].text()];
}

void RegistryPlayer::remember(const std::string& path, const std::string& name) {
    auto& names = m_valueOrder[path];
    if (std::find(names.begin(), names.end(), upper(name)) == names.end()) {
        names.push_back(upper(name));
    }
}

void RegistryPlayer::forget(const std::string& path, const std::string& name) {
    auto& names = m_valueOrder[path];
    names.erase(std::remove(names.begin(), names.end(), upper(name)), names.end());
}

void RegistryPlayer::openOrCreate(const std::string& fn, const Json& args, const Json& call,
                                  std::int32_t ret, const std::string& where) {
    const Handle parent = handle(args);
    const std::string subKey = ansiText(args["lpSubKey"]);
    const std::uint32_t access = number(args["samDesired"]["value"]);
    HKEY result = kUntouchedNumber;
    std::uint32_t disposition = kUntouchedNumber;
    const bool wantsDisposition = args["lpdwDisposition"].isString();
    const std::int32_t actual =
        fn == "RegOpenKeyExA"
            ? m_registry.RegOpenKeyEx(parent.hkey, subKey.c_str(), 0, access, &result)
            : m_registry.RegCreateKeyEx(parent.hkey, subKey.c_str(), 0, nullptr, 0, access, nullptr,
                                        &result, wantsDisposition ? &disposition : nullptr);
    EXPECT_EQ(actual, ret) << where;
    const std::string& name = call["phkResult"].text();
    if (name == "NULL") {
        EXPECT_EQ(result, 0U) << where << " phkResult";
    } else if (ret == 0) {
        std::string path = parent.path;
        std::string trimmed = subKey;
        if (!trimmed.empty() && trimmed.back() == '\\') {
            trimmed.pop_back();
        }
        if (!trimmed.empty()) {
            path += "\\" + upper(trimmed);
        }
        m_handles[name] = {result, path};
    }
    if (wantsDisposition) {
        expectNumber(disposition, call["dwDisposition"], where + " disposition");
    }
}

void RegistryPlayer::queryValue(const Json& args, const Json& call, std::int32_t ret,
                                const std::string& where) {
    const std::string name = ansiText(args["lpValueName"]);
    OutBuffer data(args["lpData"]);
    std::uint32_t type = kUntouchedNumber;
    std::uint32_t size = number(args["lpcbData"]);
    const bool wantsType = args["lpType"].isString();
    EXPECT_EQ(m_registry.RegQueryValueEx(handle(args).hkey, name.c_str(), nullptr,
                                         wantsType ? &type : nullptr, data.data(), &size),
              ret)
        << where;
    if (wantsType) {
        expectNumber(type, call["type"], where + " type");
    }
    expectNumber(size, call["cbData"], where + " cbData");
    expectBuffer(data, call["data"], where + " data");
}

void RegistryPlayer::queryInfo(const Json& args, const Json& call, std::int32_t ret,
                               const std::string& where) {
    std::array<std::uint32_t, 6> counts{};
    EXPECT_EQ(m_registry.RegQueryInfoKey(handle(args).hkey, nullptr, nullptr, nullptr, &counts[0],
                                         &counts[1], &counts[2], &counts[3], &counts[4], &counts[5],
                                         nullptr, nullptr),
              ret)
        << where;
    const std::array<const char*, 6> names{"cSubKeys", "cbMaxSubKeyLen",    "cbMaxClassLen",
                                           "cValues",  "cbMaxValueNameLen", "cbMaxValueLen"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        expectNumber(counts[i], call[names[i]], where + " " + names[i]);
    }
}

void RegistryPlayer::enumKey(const Json& args, const Json& call, std::int32_t ret,
                             const std::string& where) {
    OutBuffer name(args["lpName"]);
    std::uint32_t length = number(args["lpcchName"]);
    FileTime time;
    EXPECT_EQ(m_registry.RegEnumKeyEx(handle(args).hkey, number(args["dwIndex"]), name.text(),
                                      &length, nullptr, nullptr, nullptr, &time),
              ret)
        << where;
    expectNumber(length, call["cchName"], where + " cchName");
    expectBuffer(name, call["name"], where + " name");
}

void RegistryPlayer::enumValue(const Json& args, const Json& call, std::int32_t ret,
                               const std::string& where) {
    const Handle& key = handle(args);
    std::uint32_t index = number(args["dwIndex"]);
    // The recording lists values sorted by name; a registry that lists them in the order
    // they were first written is asked for the same value by its own index.
    const auto& written = m_valueOrder[key.path];
    if (m_order == ValueOrder::FirstWritten && index < written.size()) {
        std::vector<std::string> sorted = written;
        std::sort(sorted.begin(), sorted.end());
        index = static_cast<std::uint32_t>(
            std::find(written.begin(), written.end(), sorted[index]) - written.begin());
    }
    OutBuffer name(args["lpValueName"]);
    OutBuffer data(args["lpData"]);
    std::uint32_t nameLength = number(args["lpcchValueName"]);
    std::uint32_t size = number(args["lpcbData"]);
    std::uint32_t type = kUntouchedNumber;
    EXPECT_EQ(m_registry.RegEnumValue(key.hkey, index, name.text(), &nameLength, nullptr, &type,
                                      data.data(), &size),
              ret)
        << where;
    expectNumber(nameLength, call["cchValueName"], where + " cchValueName");
    expectNumber(type, call["type"], where + " type");
    expectNumber(size, call["cbData"], where + " cbData");
    expectBuffer(name, call["name"], where + " name");
    expectBuffer(data, call["data"], where + " data");
}

// The wording is the system's own: the structure is compared (text, CR LF, count, failures).
void RegistryPlayer::formatMessage(const Json& args, const Json& call, std::int32_t ret,
                                   const std::string& where) {
    OutBuffer buffer(args["lpBuffer"]);
    const auto stored =
        m_registry.FormatMessage(number(args["dwFlags"]), nullptr, number(args["dwMessageId"]), 0,
                                 buffer.text(), buffer.size, nullptr);
    if (ret == 0) {
        EXPECT_EQ(stored, 0U) << where;
        EXPECT_EQ(m_lastError(), number(call["last_error"])) << where;
        EXPECT_EQ(buffer.bytes->front(), kUntouched) << where << " buffer written";
        return;
    }
    ASSERT_GT(stored, 2U) << where;
    const auto& bytes = *buffer.bytes;
    EXPECT_EQ(std::string(bytes.begin() + stored - 2, bytes.begin() + stored + 1),
              std::string("\r\n\0", 3))
        << where;
    EXPECT_EQ(std::count(bytes.begin(), bytes.begin() + stored, '\0'), 0) << where;
    EXPECT_TRUE(std::all_of(bytes.begin() + stored + 1, bytes.end(),
                            [](unsigned char c) { return c == kUntouched; }))
        << where << " wrote past the text";
}

} // namespace ostrevan::test
