// Runs every recorded registry, environment and message case on a fresh temporary store:
// return codes, sizes, out-values and buffer bytes (and that nothing past them was written).

#include "platform/posix/RegistryStore.h"
#include "tests/support/TempFolder.h"

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <ostream>
#include <vector>

namespace ostrevan {
namespace {

constexpr unsigned char kUntouched = 0xAA;
constexpr std::uint32_t kUntouchedNumber = 0xAAAAAAAA;

struct VectorCase {
    std::string file;
    std::string id;
    QJsonObject json;
};

void PrintTo(const VectorCase& vectorCase, std::ostream* out) {
    *out << vectorCase.id;
}

std::vector<VectorCase> loadCases(const char* name) {
    QFile file(QString::fromUtf8(OSTREVAN_TEST_DATA "/registry/") + QString::fromUtf8(name));
    std::vector<VectorCase> cases;
    if (!file.open(QIODevice::ReadOnly)) {
        return cases;
    }
    for (const auto& entry : QJsonDocument::fromJson(file.readAll()).array()) {
        const QJsonObject object = entry.toObject();
        cases.push_back(
            {name, object.value(QStringLiteral("id")).toString().toStdString(), object});
    }
    return cases;
}

std::vector<VectorCase> allCases() {
    std::vector<VectorCase> cases;
    for (const char* name : {"registry.json", "environment.json", "formatmessage.json"}) {
        const auto loaded = loadCases(name);
        cases.insert(cases.end(), loaded.begin(), loaded.end());
    }
    return cases;
}

QJsonValue field(const QJsonObject& object, const char* name) {
    return object.value(QString::fromUtf8(name));
}

std::string hexBytes(const QJsonValue& hex) {
    return QByteArray::fromHex(hex.toString().toLatin1()).toStdString();
}

// A string argument: plain ASCII, or {text, cp1252_hex, escaped}.
std::string ansiText(const QJsonValue& value) {
    if (value.isObject()) {
        return hexBytes(value.toObject().value(QStringLiteral("cp1252_hex")));
    }
    return value.toString().toStdString();
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// An out-buffer: {"size": n}, null, or absent. A buffer of size 0 still gets one byte so
// that it is a valid pointer.
struct OutBuffer {
    std::optional<std::vector<unsigned char>> bytes;
    std::uint32_t size = 0;

    explicit OutBuffer(const QJsonValue& spec) {
        if (spec.isObject()) {
            size =
                static_cast<std::uint32_t>(spec.toObject().value(QStringLiteral("size")).toInt());
            bytes.emplace(std::max<std::uint32_t>(size, 1), kUntouched);
        }
    }
    unsigned char* data() { return bytes ? bytes->data() : nullptr; }
    char* text() { return reinterpret_cast<char*>(data()); }
};

// The bytes shown are what the call wrote from the start; everything after is untouched.
void expectBuffer(const OutBuffer& buffer, const QJsonValue& expected, const std::string& what) {
    if (!expected.isObject() || !buffer.bytes) {
        return;
    }
    const std::string bytes = hexBytes(expected.toObject().value(QStringLiteral("hex")));
    const std::vector<unsigned char>& actual = *buffer.bytes;
    ASSERT_LE(bytes.size(), actual.size()) << what;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        const unsigned char want =
            i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : kUntouched;
        EXPECT_EQ(actual[i], want) << what << " byte " << i;
    }
}

void expectNumber(std::uint32_t actual, const QJsonValue& expected, const std::string& what) {
    if (expected.isUndefined()) {
        return;
    }
    if (expected.isString() && expected.toString() == QStringLiteral("unchanged")) {
        EXPECT_EQ(actual, kUntouchedNumber) << what << " should be unchanged";
        return;
    }
    EXPECT_EQ(actual, static_cast<std::uint32_t>(expected.toDouble())) << what;
}

// The recording lists values sorted by name; the store lists them in the order they were
// first written. The player keeps that order per key to translate the indexes.
class Player final {
public:
    explicit Player(RegistryStore& store) : m_store(store) {
        m_handles["HKEY_CURRENT_USER"] = {hkey::CurrentUser, "HKCU"};
        m_handles["HKEY_CLASSES_ROOT"] = {hkey::ClassesRoot, "HKCR"};
        m_handles["HKEY_LOCAL_MACHINE"] = {hkey::LocalMachine, "HKLM"};
    }

    void play(const QJsonObject& call, const std::string& where) {
        const std::string fn = field(call, "fn").toString().toStdString();
        const QJsonObject args = field(call, "args").toObject();
        const auto ret = static_cast<std::int32_t>(field(call, "ret").toDouble());
        if (fn == "RegOpenKeyExA" || fn == "RegCreateKeyExA") {
            openOrCreate(fn, args, call, ret, where);
        } else if (fn == "RegSetValueExA") {
            const std::string name = ansiText(field(args, "lpValueName"));
            const std::string data =
                hexBytes(field(args, "lpData").toObject().value(QStringLiteral("hex")));
            const Handle& key = handle(args);
            EXPECT_EQ(
                m_store.RegSetValueEx(key.hkey, name.c_str(), 0,
                                      static_cast<std::uint32_t>(field(args, "dwType").toInt()),
                                      reinterpret_cast<const unsigned char*>(data.data()),
                                      static_cast<std::uint32_t>(field(args, "cbData").toInt())),
                ret)
                << where;
            if (ret == 0) {
                remember(key.path, name);
            }
        } else if (fn == "RegQueryValueExA") {
            queryValue(args, call, ret, where);
        } else if (fn == "RegDeleteValueA") {
            const std::string name = ansiText(field(args, "lpValueName"));
            EXPECT_EQ(m_store.RegDeleteValue(handle(args).hkey, name.c_str()), ret) << where;
            if (ret == 0) {
                forget(handle(args).path, name);
            }
        } else if (fn == "RegCloseKey") {
            EXPECT_EQ(m_store.RegCloseKey(handle(args).hkey), ret) << where;
        } else if (fn == "RegQueryInfoKeyA") {
            queryInfo(args, call, ret, where);
        } else if (fn == "RegEnumKeyExA") {
            enumKey(args, call, ret, where);
        } else if (fn == "RegEnumValueA") {
            enumValue(args, call, ret, where);
        } else if (fn == "ExpandEnvironmentStringsA") {
            OutBuffer target(field(args, "lpDst"));
            const std::string source = ansiText(field(args, "lpSrc"));
            EXPECT_EQ(m_store.ExpandEnvironmentStrings(
                          source.c_str(), target.text(),
                          static_cast<std::uint32_t>(field(args, "nSize").toInt())),
                      static_cast<std::uint32_t>(ret))
                << where;
            expectBuffer(target, field(call, "dst"), where + " dst");
        } else if (fn == "FormatMessageA") {
            formatMessage(args, call, ret, where);
        } else {
            ADD_FAILURE() << where << ": unknown function " << fn;
        }
    }

private:
    struct Handle {
        HKEY hkey = 0;
        std::string path; // upper case, for the value order
    };

    const Handle& handle(const QJsonObject& args) {
        return m_handles[field(args, "hKey").toString().toStdString()];
    }

    void remember(const std::string& path, const std::string& name) {
        auto& names = m_valueOrder[path];
        if (std::find(names.begin(), names.end(), upper(name)) == names.end()) {
            names.push_back(upper(name));
        }
    }
    void forget(const std::string& path, const std::string& name) {
        auto& names = m_valueOrder[path];
        names.erase(std::remove(names.begin(), names.end(), upper(name)), names.end());
    }

    void openOrCreate(const std::string& fn, const QJsonObject& args, const QJsonObject& call,
                      std::int32_t ret, const std::string& where) {
        const Handle parent = handle(args);
        const std::string subKey = ansiText(field(args, "lpSubKey"));
        const auto access = static_cast<std::uint32_t>(
            field(args, "samDesired").toObject().value(QStringLiteral("value")).toDouble());
        HKEY result = kUntouchedNumber;
        std::uint32_t disposition = kUntouchedNumber;
        const bool wantsDisposition = field(args, "lpdwDisposition").isString();
        const std::int32_t actual =
            fn == "RegOpenKeyExA"
                ? m_store.RegOpenKeyEx(parent.hkey, subKey.c_str(), 0, access, &result)
                : m_store.RegCreateKeyEx(parent.hkey, subKey.c_str(), 0, nullptr, 0, access,
                                         nullptr, &result,
                                         wantsDisposition ? &disposition : nullptr);
        EXPECT_EQ(actual, ret) << where;
        const std::string name = field(call, "phkResult").toString().toStdString();
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
            expectNumber(disposition, field(call, "dwDisposition"), where + " disposition");
        }
    }

    void queryValue(const QJsonObject& args, const QJsonObject& call, std::int32_t ret,
                    const std::string& where) {
        const std::string name = ansiText(field(args, "lpValueName"));
        OutBuffer data(field(args, "lpData"));
        std::uint32_t type = kUntouchedNumber;
        auto size = static_cast<std::uint32_t>(field(args, "lpcbData").toInt());
        const bool wantsType = field(args, "lpType").isString();
        EXPECT_EQ(m_store.RegQueryValueEx(handle(args).hkey, name.c_str(), nullptr,
                                          wantsType ? &type : nullptr, data.data(), &size),
                  ret)
            << where;
        if (wantsType) {
            expectNumber(type, field(call, "type"), where + " type");
        }
        expectNumber(size, field(call, "cbData"), where + " cbData");
        expectBuffer(data, field(call, "data"), where + " data");
    }

    void queryInfo(const QJsonObject& args, const QJsonObject& call, std::int32_t ret,
                   const std::string& where) {
        std::array<std::uint32_t, 6> counts{};
        EXPECT_EQ(m_store.RegQueryInfoKey(handle(args).hkey, nullptr, nullptr, nullptr, &counts[0],
                                          &counts[1], &counts[2], &counts[3], &counts[4],
                                          &counts[5], nullptr, nullptr),
                  ret)
            << where;
        const std::array<const char*, 6> names{"cSubKeys", "cbMaxSubKeyLen",    "cbMaxClassLen",
                                               "cValues",  "cbMaxValueNameLen", "cbMaxValueLen"};
        for (std::size_t i = 0; i < names.size(); ++i) {
            expectNumber(counts[i], field(call, names[i]), where + " " + names[i]);
        }
    }

    void enumKey(const QJsonObject& args, const QJsonObject& call, std::int32_t ret,
                 const std::string& where) {
        OutBuffer name(field(args, "lpName"));
        auto length = static_cast<std::uint32_t>(field(args, "lpcchName").toInt());
        FileTime time;
        EXPECT_EQ(m_store.RegEnumKeyEx(handle(args).hkey,
                                       static_cast<std::uint32_t>(field(args, "dwIndex").toInt()),
                                       name.text(), &length, nullptr, nullptr, nullptr, &time),
                  ret)
            << where;
        expectNumber(length, field(call, "cchName"), where + " cchName");
        expectBuffer(name, field(call, "name"), where + " name");
    }

    void enumValue(const QJsonObject& args, const QJsonObject& call, std::int32_t ret,
                   const std::string& where) {
        const Handle& key = handle(args);
        auto index = static_cast<std::uint32_t>(field(args, "dwIndex").toInt());
        const auto& written = m_valueOrder[key.path];
        if (index < written.size()) {
            std::vector<std::string> sorted = written;
            std::sort(sorted.begin(), sorted.end());
            index = static_cast<std::uint32_t>(
                std::find(written.begin(), written.end(), sorted[index]) - written.begin());
        }
        OutBuffer name(field(args, "lpValueName"));
        OutBuffer data(field(args, "lpData"));
        auto nameLength = static_cast<std::uint32_t>(field(args, "lpcchValueName").toInt());
        auto size = static_cast<std::uint32_t>(field(args, "lpcbData").toInt());
        std::uint32_t type = kUntouchedNumber;
        EXPECT_EQ(m_store.RegEnumValue(key.hkey, index, name.text(), &nameLength, nullptr, &type,
                                       data.data(), &size),
                  ret)
            << where;
        expectNumber(nameLength, field(call, "cchValueName"), where + " cchValueName");
        expectNumber(type, field(call, "type"), where + " type");
        expectNumber(size, field(call, "cbData"), where + " cbData");
        expectBuffer(name, field(call, "name"), where + " name");
        expectBuffer(data, field(call, "data"), where + " data");
    }

    // Our texts are German: the structure is compared (text, CR LF, count, failures).
    void formatMessage(const QJsonObject& args, const QJsonObject& call, std::int32_t ret,
                       const std::string& where) {
        OutBuffer buffer(field(args, "lpBuffer"));
        const auto stored = m_store.FormatMessage(
            static_cast<std::uint32_t>(field(args, "dwFlags").toInt()), nullptr,
            static_cast<std::uint32_t>(field(args, "dwMessageId").toDouble()), 0, buffer.text(),
            buffer.size, nullptr);
        if (ret == 0) {
            EXPECT_EQ(stored, 0U) << where;
            EXPECT_EQ(m_store.lastError(),
                      static_cast<std::uint32_t>(field(call, "last_error").toInt()))
                << where;
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

    RegistryStore& m_store;
    std::map<std::string, Handle> m_handles;
    std::map<std::string, std::vector<std::string>> m_valueOrder;
};

// Sets the case's variables for its lifetime and puts the old values back afterwards.
class Environment final {
public:
    explicit Environment(const QJsonObject& variables) {
        for (auto it = variables.begin(); it != variables.end(); ++it) {
            const std::string name = it.key().toStdString();
            const char* old = std::getenv(name.c_str());
            m_saved.emplace_back(name,
                                 old == nullptr ? std::nullopt : std::optional<std::string>(old));
            if (it.value().isNull()) {
                unsetenv(name.c_str());
            } else {
                setenv(name.c_str(), it.value().toString().toStdString().c_str(), 1);
            }
        }
    }
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;
    ~Environment() {
        for (const auto& [name, value] : m_saved) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

class RegistryVectorTest : public testing::TestWithParam<VectorCase> {};

TEST_P(RegistryVectorTest, BehavesAsRecorded) {
    const VectorCase& vectorCase = GetParam();
    const test::TempFolder folder;
    RegistryStore store(folder.at("registry.sqlite3"));
    HKEY base = 0;
    ASSERT_EQ(store.RegCreateKeyEx(hkey::CurrentUser, "Software\\OracleTest", 0, nullptr, 0,
                                   keyaccess::AllAccess, nullptr, &base, nullptr),
              0);
    store.RegCloseKey(base);
    const QJsonObject setup = field(vectorCase.json, "setup").toObject();
    const Environment environment(field(setup, "environment").toObject());
    Player player(store);
    const QJsonArray calls = field(vectorCase.json, "calls").toArray();
    for (qsizetype i = 0; i < calls.size(); ++i) {
        player.play(calls[i].toObject(), vectorCase.id + " call " + std::to_string(i));
    }
}

TEST(RegistryVectorFiles, AreAllThere) {
    EXPECT_EQ(loadCases("registry.json").size(), 39U);
    EXPECT_EQ(loadCases("environment.json").size(), 10U);
    EXPECT_EQ(loadCases("formatmessage.json").size(), 16U);
}

INSTANTIATE_TEST_SUITE_P(Recorded, RegistryVectorTest, testing::ValuesIn(allCases()),
                         [](const testing::TestParamInfo<VectorCase>& info) {
                             std::string name = info.param.id;
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) {
                                     return !std::isalnum(static_cast<unsigned char>(c));
                                 },
                                 '_');
                             return name;
                         });

} // namespace
} // namespace ostrevan
