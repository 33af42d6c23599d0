#pragma once

#include "platform/RegistryFunctions.h"
#include "tests/support/Json.h"

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace ostrevan::test {

// One recorded registry, environment or message case.
struct RegistryCase {
    std::string id;
    Json json;
};
inline void PrintTo(const RegistryCase& registryCase, std::ostream* out) {
    *out << registryCase.id;
}

// The cases of registry.json, environment.json and formatmessage.json in the test data.
std::vector<RegistryCase> registryCases(const char* file);
std::vector<RegistryCase> allRegistryCases();
// A case's id as a test name.
std::string registryTestName(const RegistryCase& registryCase);

// The order in which the registry lists a key's values.
enum class ValueOrder { AsRecorded, FirstWritten };

// Plays a case's calls on a registry and checks return codes, sizes, out-values and buffer
// bytes (and that nothing past them was written). Each case expects an empty
// HKEY_CURRENT_USER\Software\OracleTest.
class RegistryPlayer final {
public:
    // lastError answers GetLastError after a call that failed.
    RegistryPlayer(RegistryFunctions& registry, std::function<std::uint32_t()> lastError,
                   ValueOrder order);

    void play(const RegistryCase& registryCase);

private:
    struct Handle {
        HKEY hkey = 0;
        std::string path; // upper case, for the value order
    };

    void call(const Json& call, const std::string& where);
    const Handle& handle(const Json& args);
    void remember(const std::string& path, const std::string& name);
    void forget(const std::string& path, const std::string& name);
    void openOrCreate(const std::string& fn, const Json& args, const Json& call, std::int32_t ret,
                      const std::string& where);
    void queryValue(const Json& args, const Json& call, std::int32_t ret, const std::string& where);
    void queryInfo(const Json& args, const Json& call, std::int32_t ret, const std::string& where);
    void enumKey(const Json& args, const Json& call, std::int32_t ret, const std::string& where);
    void enumValue(const Json& args, const Json& call, std::int32_t ret, const std::string& where);
    void formatMessage(const Json& args, const Json& call, std::int32_t ret,
                       const std::string& where);

    RegistryFunctions& m_registry;
    std::function<std::uint32_t()> m_lastError;
    ValueOrder m_order;
    std::map<std::string, Handle> m_handles;
    std::map<std::string, std::vector<std::string>> m_valueOrder;
};

} // namespace ostrevan::test
