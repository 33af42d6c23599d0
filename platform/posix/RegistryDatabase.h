#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace ostrevan {

class RegistryChangeWatch;

// One value as stored: name and data are Windows-1252 bytes exactly as written.
struct StoredValue {
    std::string name;
    std::uint32_t type = 0;
    std::string data;
};

// The SQLite file behind the registry functions: a tree of keys under three roots, values in
// the order they were first written. Every write is its own committed transaction (or part of
// the one allOrNothing runs); reads are served from a cache that is dropped whenever this or
// another connection commits. Results are Win32 codes. Not for use from two threads at once.
class RegistryDatabase final {
public:
    // Root key ids of HKEY_CLASSES_ROOT, HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE.
    static constexpr std::int64_t kClassesRoot = 1;
    static constexpr std::int64_t kCurrentUser = 2;
    static constexpr std::int64_t kLocalMachine = 3;

    // Opens the store, creating and seeding it when the file is new. A file without write
    // permission is opened read-only.
    explicit RegistryDatabase(const std::string& path);
    ~RegistryDatabase();
    RegistryDatabase(const RegistryDatabase&) = delete;
    RegistryDatabase& operator=(const RegistryDatabase&) = delete;

    // 0 when the store is usable, else the code every open answers with.
    std::int32_t openError() const { return m_openError; }
    bool readOnly() const { return m_readOnly; }

    // path: the levels below parent, each compared by its folded name. 0 and *id, or 2.
    std::int32_t findKey(std::int64_t parent, const std::vector<std::string>& path,
                         std::int64_t* id);
    // Creates the missing levels in one transaction; *created tells whether one was missing.
    std::int32_t createKey(std::int64_t parent, const std::vector<std::string>& path,
                           std::int64_t* id, bool* created);
    // Subkey names sorted by folded name; values in the order first written.
    std::int32_t subKeys(std::int64_t key, std::shared_ptr<const std::vector<std::string>>* names);
    std::int32_t values(std::int64_t key, std::shared_ptr<const std::vector<StoredValue>>* rows);
    // Replacing a value keeps its place and the spelling of its name.
    std::int32_t setValue(std::int64_t key, std::string_view name, std::uint32_t type,
                          std::string_view data);
    // 2 when there is no such value.
    std::int32_t deleteValue(std::int64_t key, std::string_view name);
    // Runs steps on one snapshot (see RegistryStore::oneView), or as one transaction (see
    // RegistryStore::allOrNothing); inside another, as part of that.
    std::int32_t oneView(const std::function<std::int32_t()>& steps);
    std::int32_t allOrNothing(const std::function<std::int32_t()>& steps);
    // The default values of the DefaultIcon keys of HKEY_CLASSES_ROOT's classes and CLSIDs.
    std::int32_t iconLocations(std::vector<StoredValue>* locations);

private:
    struct StatementCloser {
        void operator()(sqlite3_stmt* statement) const;
    };
    struct DatabaseCloser {
        void operator()(sqlite3* db) const;
    };
    using Statement = std::unique_ptr<sqlite3_stmt, StatementCloser>;

    int open(const std::string& path);
    int createSchema();
    sqlite3_stmt* statement(Statement& slot, const char* sql);
    // Drops the caches when the file changed since the last look.
    std::int32_t refresh();
    // The same without asking the watch first.
    std::int32_t checkVersion();
    void dropCaches();
    template <class Body> std::int32_t write(Body body);
    int lookUp(std::int64_t parent, std::string_view folded, std::int64_t* id);
    int insertKey(std::int64_t parent, std::string_view name, std::int64_t* id);
    int storeValue(std::int64_t key, std::string_view name, std::uint32_t type,
                   std::string_view data);

    // Declared first, so that the statements and the watch go before the connection.
    std::unique_ptr<sqlite3, DatabaseCloser> m_db;
    std::int32_t m_openError = 0;
    bool m_readOnly = false;
    std::int64_t m_dataVersion = -1;
    // Whether a write inside the running allOrNothing failed.
    bool m_writeFailed = false;
    // Spares the data-version query while nobody has committed.
    std::unique_ptr<RegistryChangeWatch> m_watch;

    Statement m_version;
    Statement m_lookUp;
    Statement m_insertKey;
    Statement m_children;
    Statement m_values;
    Statement m_update;
    Statement m_insertValue;
    Statement m_delete;
    Statement m_icons;

    // Keyed by parent id and folded path; -1 remembers a missing key.
    std::unordered_map<std::string, std::int64_t> m_keyCache;
    std::unordered_map<std::int64_t, std::shared_ptr<const std::vector<std::string>>> m_childCache;
    std::unordered_map<std::int64_t, std::shared_ptr<const std::vector<StoredValue>>> m_valueCache;
};

} // namespace ostrevan
