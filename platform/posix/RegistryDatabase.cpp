#include "platform/posix/RegistryDatabase.h"

#include "platform/RegistryFunctions.h"
#include "platform/posix/RegistryChangeWatch.h"
#include "platform/posix/RegistryNames.h"
#include "platform/posix/RegistrySeed.h"

#include <chrono>
#include <sqlite3.h>
#include <sys/stat.h>
#include <thread>

namespace ostrevan {
namespace {

constexpr int kBusyTimeoutMs = 5000;
constexpr int kSchemaVersion = 1;

// Roots are rows of their own, so that every key has a parent row.
constexpr const char* kSchema = R"sql(
CREATE TABLE keys(
    id INTEGER PRIMARY KEY,
    parent INTEGER NOT NULL,
    name BLOB NOT NULL,
    folded BLOB NOT NULL,
    UNIQUE(parent, folded));
CREATE TABLE regvalues(
    id INTEGER PRIMARY KEY,
    key INTEGER NOT NULL REFERENCES keys(id),
    name BLOB NOT NULL,
    folded BLOB NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    UNIQUE(key, folded));
INSERT INTO keys(id, parent, name, folded) VALUES
    (1, 0, 'HKEY_CLASSES_ROOT', 'HKEY_CLASSES_ROOT'),
    (2, 0, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER'),
    (3, 0, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE');
PRAGMA user_version = 1;
)sql";

bool writable(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        return true; // a new file
    }
    return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

std::int32_t readCode(int sqliteCode) {
    switch (sqliteCode & 0xFF) {
    case SQLITE_OK:
        return winerror::Success;
    case SQLITE_NOMEM:
    case SQLITE_TOOBIG:
        return winerror::NotEnoughMemory;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return winerror::LockViolation;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return winerror::BadDatabase;
    case SQLITE_CANTOPEN:
        return winerror::CannotOpen;
    default:
        return winerror::CannotRead;
    }
}

std::int32_t writeCode(int sqliteCode) {
    switch (sqliteCode & 0xFF) {
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return winerror::AccessDenied;
    case SQLITE_FULL:
        return winerror::DiskFull;
    case SQLITE_IOERR:
        return winerror::CannotWrite;
    default: {
        const std::int32_t code = readCode(sqliteCode);
        return code == winerror::CannotRead ? winerror::CannotWrite : code;
    }
    }
}

int bindBytes(sqlite3_stmt* statement, int index, std::string_view bytes) {
    // A null pointer would bind NULL instead of an empty blob.
    return sqlite3_bind_blob(statement, index, bytes.empty() ? "" : bytes.data(),
                             static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

std::string columnBytes(sqlite3_stmt* statement, int column) {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
    const int size = sqlite3_column_bytes(statement, column);
    return bytes == nullptr ? std::string() : std::string(bytes, static_cast<std::size_t>(size));
}

// Resets the statement and its bindings when a use of it ends.
class Use final {
public:
    explicit Use(sqlite3_stmt* statement) : m_statement(statement) {}
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;
    ~Use() {
        if (m_statement != nullptr) {
            sqlite3_reset(m_statement);
            sqlite3_clear_bindings(m_statement);
        }
    }

private:
    sqlite3_stmt* m_statement;
};

std::string cacheKey(std::int64_t parent, const std::vector<std::string>& path) {
    std::string key = std::to_string(parent);
    for (const std::string& level : path) {
        key += '\\';
        key += foldRegistryName(level);
    }
    return key;
}

} // namespace

void RegistryDatabase::StatementCloser::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

void RegistryDatabase::DatabaseCloser::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

RegistryDatabase::RegistryDatabase(const std::string& path) {
    // While another program makes the store or switches it to WAL, opening can meet a lock
    // that the busy timeout does not wait for; such a store is busy, not unusable.
    constexpr auto retryPause = std::chrono::milliseconds(10);
    int rc = open(path);
    for (auto waited = std::chrono::milliseconds(0);
         (rc & 0xFF) == SQLITE_BUSY && waited < std::chrono::milliseconds(kBusyTimeoutMs);
         waited += retryPause) {
        m_db.reset();
        std::this_thread::sleep_for(retryPause);
        rc = open(path);
    }
    if (rc != SQLITE_OK) {
        const std::int32_t code = readCode(rc);
        m_openError = code == winerror::CannotRead ? winerror::CannotOpen : code;
        m_db.reset();
        return;
    }
    // The connection has read the store, so the WAL index exists while it stays open.
    m_watch = std::make_unique<RegistryChangeWatch>(
        std::string(sqlite3_db_filename(m_db.get(), "main")) + "-shm");
}

RegistryDatabase::~RegistryDatabase() = default;

int RegistryDatabase::open(const std::string& path) {
    m_readOnly = !writable(path);
    const int flags =
        (m_readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
        SQLITE_OPEN_NOMUTEX;
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    m_db.reset(raw);
    if (opened != SQLITE_OK) {
        return opened;
    }
    sqlite3_busy_timeout(m_db.get(), kBusyTimeoutMs);
    // SQLite falls back to reading when the file may not be written.
    m_readOnly = m_readOnly || sqlite3_db_readonly(m_db.get(), "main") == 1;
    if (!m_readOnly) {
        // Keeping the WAL files lets a reader without write permission open the store.
        int persist = 1;
        sqlite3_file_control(m_db.get(), "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
        // A kept WAL still holds the frames the last close copied into the store; emptied, the
        // next program does not copy them again.
        const int wal =
            sqlite3_exec(m_db.get(), "PRAGMA journal_mode=WAL; PRAGMA journal_size_limit=0",
                         nullptr, nullptr, nullptr);
        if (wal != SQLITE_OK) {
            return wal;
        }
    }
    // In WAL mode only FULL makes a reported commit survive a power loss.
    const int sync = sqlite3_exec(m_db.get(), "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    if (sync != SQLITE_OK) {
        return sync;
    }
    return createSchema();
}

// A new, empty file gets the schema and the seed in one transaction; a file that holds
// anything else is not a store.
int RegistryDatabase::createSchema() {
    const auto version = [this](int* value) {
        sqlite3_stmt* raw = nullptr;
        int rc = sqlite3_prepare_v2(m_db.get(),
                                    "SELECT (SELECT count(*) FROM sqlite_master), user_version "
                                    "FROM pragma_user_version",
                                    -1, &raw, nullptr);
        const Statement query(raw);
        if (rc == SQLITE_OK && (rc = sqlite3_step(raw)) == SQLITE_ROW) {
            *value = sqlite3_column_int(raw, 0) == 0 ? 0 : sqlite3_column_int(raw, 1);
            rc = *value == 0 && sqlite3_column_int(raw, 0) != 0 ? SQLITE_NOTADB : SQLITE_OK;
        }
        return rc;
    };
    int current = 0;
    int rc = version(&current);
    if (rc != SQLITE_OK || current == kSchemaVersion) {
        return rc;
    }
    if (current != 0 || m_readOnly) {
        return current != 0 ? SQLITE_NOTADB : SQLITE_CANTOPEN;
    }
    if ((rc = sqlite3_exec(m_db.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr)) !=
        SQLITE_OK) {
        return rc;
    }
    // Another program may have created it while this one waited for the lock.
    rc = version(&current);
    if (rc == SQLITE_OK && current == 0) {
        rc = sqlite3_exec(m_db.get(), kSchema, nullptr, nullptr, nullptr);
        for (const SeedValue& seed : solidEdgeFileTypes()) {
            if (rc != SQLITE_OK) {
                break;
            }
            std::int64_t key = kClassesRoot;
            std::string path = seed.key;
            for (std::size_t start = 0; rc == SQLITE_OK && start <= path.size();) {
                const auto end = std::min(path.find('\\', start), path.size());
                const std::string level = path.substr(start, end - start);
                std::int64_t child = 0;
                rc = lookUp(key, foldRegistryName(level), &child);
                if (rc == SQLITE_DONE) {
                    rc = insertKey(key, level, &child);
                }
                key = child;
                start = end + 1;
            }
            if (rc == SQLITE_OK) {
                rc = storeValue(key, seed.name, seed.type, seed.data);
            }
        }
    }
    rc = sqlite3_exec(m_db.get(), rc == SQLITE_OK ? "COMMIT" : "ROLLBACK", nullptr, nullptr,
                      nullptr) == SQLITE_OK
             ? rc
             : SQLITE_IOERR;
    return rc;
}

sqlite3_stmt* RegistryDatabase::statement(Statement& slot, const char* sql) {
    if (!slot) {
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v3(m_db.get(), sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr) !=
            SQLITE_OK) {
            return nullptr;
        }
        slot.reset(raw);
    }
    return slot.get();
}

std::int32_t RegistryDatabase::refresh() {
    // Inside a transaction nobody else's commit can show.
    if (sqlite3_get_autocommit(m_db.get()) == 0 || (m_watch && !m_watch->changed())) {
        return winerror::Success;
    }
    return checkVersion();
}

std::int32_t RegistryDatabase::checkVersion() {
    sqlite3_stmt* query = statement(m_version, "PRAGMA data_version");
    if (query == nullptr) {
        return readCode(sqlite3_errcode(m_db.get()));
    }
    const Use use(query);
    const int rc = sqlite3_step(query);
    if (rc != SQLITE_ROW) {
        return readCode(rc);
    }
    const std::int64_t version = sqlite3_column_int64(query, 0);
    if (version != m_dataVersion) {
        dropCaches();
        m_dataVersion = version;
    }
    return winerror::Success;
}

void RegistryDatabase::dropCaches() {
    m_keyCache.clear();
    m_childCache.clear();
    m_valueCache.clear();
}

// Runs body (returning an SQLite code) inside its own committed transaction, or inside the
// one allOrNothing runs. *outcome lets body report a result of its own, such as a missing
// value.
template <class Body> std::int32_t RegistryDatabase::write(Body body) {
    if (m_readOnly) {
        return winerror::AccessDenied;
    }
    const bool own = sqlite3_get_autocommit(m_db.get()) != 0;
    int rc =
        own ? sqlite3_exec(m_db.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) : SQLITE_OK;
    if (rc != SQLITE_OK) {
        return writeCode(rc);
    }
    std::int32_t outcome = winerror::Success;
    rc = body(&outcome);
    if (own && rc == SQLITE_OK) {
        rc = sqlite3_exec(m_db.get(), "COMMIT", nullptr, nullptr, nullptr);
    }
    if (own && rc != SQLITE_OK) {
        sqlite3_exec(m_db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    m_writeFailed = m_writeFailed || rc != SQLITE_OK;
    dropCaches();
    return rc == SQLITE_OK ? outcome : writeCode(rc);
}

std::int32_t RegistryDatabase::oneView(const std::function<std::int32_t()>& steps) {
    if (sqlite3_get_autocommit(m_db.get()) == 0) {
        return steps();
    }
    if (const int rc = sqlite3_exec(m_db.get(), "BEGIN", nullptr, nullptr, nullptr);
        rc != SQLITE_OK) {
        return readCode(rc);
    }
    // The version query starts the snapshot, and the caches must match it.
    std::int32_t outcome = checkVersion();
    if (outcome == winerror::Success) {
        outcome = steps();
    }
    sqlite3_exec(m_db.get(), "COMMIT", nullptr, nullptr, nullptr);
    return outcome;
}

std::int32_t RegistryDatabase::allOrNothing(const std::function<std::int32_t()>& steps) {
    if (sqlite3_get_autocommit(m_db.get()) == 0) {
        return steps();
    }
    if (m_readOnly) {
        return winerror::AccessDenied;
    }
    int rc = sqlite3_exec(m_db.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        return writeCode(rc);
    }
    m_writeFailed = false;
    // Another program may have committed since the caches were last checked.
    std::int32_t outcome = checkVersion();
    if (outcome == winerror::Success) {
        outcome = steps();
    }
    // A write that failed inside may have done part of its work: none of it is kept.
    if (outcome == winerror::Success && m_writeFailed) {
        outcome = winerror::CannotWrite;
    }
    if (outcome == winerror::Success) {
        rc = sqlite3_exec(m_db.get(), "COMMIT", nullptr, nullptr, nullptr);
        outcome = rc == SQLITE_OK ? outcome : writeCode(rc);
    }
    if (outcome != winerror::Success) {
        sqlite3_exec(m_db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    dropCaches();
    return outcome;
}

// SQLITE_OK and *id when found, SQLITE_DONE when not.
int RegistryDatabase::lookUp(std::int64_t parent, std::string_view folded, std::int64_t* id) {
    sqlite3_stmt* query =
        statement(m_lookUp, "SELECT id FROM keys WHERE parent = ?1 AND folded = ?2");
    if (query == nullptr) {
        return sqlite3_errcode(m_db.get());
    }
    const Use use(query);
    sqlite3_bind_int64(query, 1, parent);
    bindBytes(query, 2, folded);
    const int rc = sqlite3_step(query);
    if (rc == SQLITE_ROW) {
        *id = sqlite3_column_int64(query, 0);
        return SQLITE_OK;
    }
    return rc;
}

int RegistryDatabase::insertKey(std::int64_t parent, std::string_view name, std::int64_t* id) {
    sqlite3_stmt* insert =
        statement(m_insertKey, "INSERT INTO keys(parent, name, folded) VALUES (?1, ?2, ?3)");
    if (insert == nullptr) {
        return sqlite3_errcode(m_db.get());
    }
    const Use use(insert);
    sqlite3_bind_int64(insert, 1, parent);
    bindBytes(insert, 2, name);
    bindBytes(insert, 3, foldRegistryName(name));
    const int rc = sqlite3_step(insert);
    *id = sqlite3_last_insert_rowid(m_db.get());
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int RegistryDatabase::storeValue(std::int64_t key, std::string_view name, std::uint32_t type,
                                 std::string_view data) {
    const std::string folded = foldRegistryName(name);
    sqlite3_stmt* update = statement(
        m_update, "UPDATE regvalues SET type = ?3, data = ?4 WHERE key = ?1 AND folded = ?2");
    if (update == nullptr) {
        return sqlite3_errcode(m_db.get());
    }
    {
        const Use use(update);
        sqlite3_bind_int64(update, 1, key);
        bindBytes(update, 2, folded);
        sqlite3_bind_int64(update, 3, type);
        bindBytes(update, 4, data);
        const int rc = sqlite3_step(update);
        if (rc != SQLITE_DONE) {
            return rc;
        }
        if (sqlite3_changes(m_db.get()) > 0) {
            return SQLITE_OK;
        }
    }
    sqlite3_stmt* insert =
        statement(m_insertValue, "INSERT INTO regvalues(key, name, folded, type, data) "
                                 "VALUES (?1, ?2, ?3, ?4, ?5)");
    if (insert == nullptr) {
        return sqlite3_errcode(m_db.get());
    }
    const Use use(insert);
    sqlite3_bind_int64(insert, 1, key);
    bindBytes(insert, 2, name);
    bindBytes(insert, 3, folded);
    sqlite3_bind_int64(insert, 4, type);
    bindBytes(insert, 5, data);
    const int rc = sqlite3_step(insert);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

std::int32_t RegistryDatabase::findKey(std::int64_t parent, const std::vector<std::string>& path,
                                       std::int64_t* id) {
    if (const std::int32_t rc = refresh(); rc != winerror::Success) {
        return rc;
    }
    const std::string cached = cacheKey(parent, path);
    if (const auto found = m_keyCache.find(cached); found != m_keyCache.end()) {
        *id = found->second;
        return found->second < 0 ? winerror::FileNotFound : winerror::Success;
    }
    std::int64_t key = parent;
    for (const std::string& level : path) {
        const int rc = lookUp(key, foldRegistryName(level), &key);
        if (rc == SQLITE_DONE) {
            key = -1;
            break;
        }
        if (rc != SQLITE_OK) {
            return readCode(rc);
        }
    }
    m_keyCache.emplace(cached, key);
    *id = key;
    return key < 0 ? winerror::FileNotFound : winerror::Success;
}

std::int32_t RegistryDatabase::createKey(std::int64_t parent, const std::vector<std::string>& path,
                                         std::int64_t* id, bool* created) {
    *created = false;
    const std::int32_t found = findKey(parent, path, id);
    if (found != winerror::FileNotFound) {
        return found;
    }
    return write([&](std::int32_t*) {
        std::int64_t key = parent;
        for (const std::string& level : path) {
            int rc = lookUp(key, foldRegistryName(level), &key);
            if (rc == SQLITE_DONE) {
                rc = insertKey(key, level, &key);
                *created = true;
            }
            if (rc != SQLITE_OK) {
                *created = false;
                return rc;
            }
        }
        *id = key;
        return SQLITE_OK;
    });
}

std::int32_t RegistryDatabase::subKeys(std::int64_t key,
                                       std::shared_ptr<const std::vector<std::string>>* names) {
    if (const std::int32_t rc = refresh(); rc != winerror::Success) {
        return rc;
    }
    if (const auto found = m_childCache.find(key); found != m_childCache.end()) {
        *names = found->second;
        return winerror::Success;
    }
    sqlite3_stmt* query =
        statement(m_children, "SELECT name FROM keys WHERE parent = ?1 ORDER BY folded");
    if (query == nullptr) {
        return readCode(sqlite3_errcode(m_db.get()));
    }
    const Use use(query);
    sqlite3_bind_int64(query, 1, key);
    auto list = std::make_shared<std::vector<std::string>>();
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(query)) == SQLITE_ROW) {
        list->push_back(columnBytes(query, 0));
    }
    if (rc != SQLITE_DONE) {
        return readCode(rc);
    }
    m_childCache.emplace(key, list);
    *names = std::move(list);
    return winerror::Success;
}

std::int32_t RegistryDatabase::values(std::int64_t key,
                                      std::shared_ptr<const std::vector<StoredValue>>* rows) {
    if (const std::int32_t rc = refresh(); rc != winerror::Success) {
        return rc;
    }
    if (const auto found = m_valueCache.find(key); found != m_valueCache.end()) {
        *rows = found->second;
        return winerror::Success;
    }
    sqlite3_stmt* query =
        statement(m_values, "SELECT name, type, data FROM regvalues WHERE key = ?1 ORDER BY id");
    if (query == nullptr) {
        return readCode(sqlite3_errcode(m_db.get()));
    }
    const Use use(query);
    sqlite3_bind_int64(query, 1, key);
    auto list = std::make_shared<std::vector<StoredValue>>();
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(query)) == SQLITE_ROW) {
        list->push_back({columnBytes(query, 0),
                         static_cast<std::uint32_t>(sqlite3_column_int64(query, 1)),
                         columnBytes(query, 2)});
    }
    if (rc != SQLITE_DONE) {
        return readCode(rc);
    }
    m_valueCache.emplace(key, list);
    *rows = std::move(list);
    return winerror::Success;
}

std::int32_t RegistryDatabase::setValue(std::int64_t key, std::string_view name, std::uint32_t type,
                                        std::string_view data) {
    return write([&](std::int32_t*) { return storeValue(key, name, type, data); });
}

std::int32_t RegistryDatabase::deleteValue(std::int64_t key, std::string_view name) {
    return write([&](std::int32_t* outcome) {
        sqlite3_stmt* erase =
            statement(m_delete, "DELETE FROM regvalues WHERE key = ?1 AND folded = ?2");
        if (erase == nullptr) {
            return sqlite3_errcode(m_db.get());
        }
        const Use use(erase);
        sqlite3_bind_int64(erase, 1, key);
        bindBytes(erase, 2, foldRegistryName(name));
        const int rc = sqlite3_step(erase);
        if (rc == SQLITE_DONE && sqlite3_changes(m_db.get()) == 0) {
            *outcome = winerror::FileNotFound;
        }
        return rc == SQLITE_DONE ? SQLITE_OK : rc;
    });
}

std::int32_t RegistryDatabase::iconLocations(std::vector<StoredValue>* locations) {
    sqlite3_stmt* query = statement(m_icons, R"sql(
        SELECT v.name, v.type, v.data FROM regvalues v JOIN keys k ON v.key = k.id
        WHERE k.folded = CAST('DEFAULTICON' AS BLOB) AND v.folded = x''
          AND (k.parent IN (SELECT id FROM keys WHERE parent = 1)
               OR k.parent IN (SELECT id FROM keys WHERE parent IN
                               (SELECT id FROM keys WHERE parent = 1 AND folded = CAST('CLSID' AS BLOB)))))sql");
    if (query == nullptr) {
        return readCode(sqlite3_errcode(m_db.get()));
    }
    const Use use(query);
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(query)) == SQLITE_ROW) {
        locations->push_back({columnBytes(query, 0),
                              static_cast<std::uint32_t>(sqlite3_column_int64(query, 1)),
                              columnBytes(query, 2)});
    }
    return rc == SQLITE_DONE ? winerror::Success : readCode(rc);
}

} // namespace ostrevan
