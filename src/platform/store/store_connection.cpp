#include "platform/store/store_connection.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/store/store.h"

namespace platform {
namespace {

// Marks a file as ours, so that some other program's database put at our path is
// moved aside instead of being written into.
constexpr int kApplicationId = 0x54524442;  // "TRDB"

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS reg_key(id INTEGER PRIMARY KEY, root INTEGER NOT NULL,"
    " path TEXT NOT NULL COLLATE NOCASE, UNIQUE(root, path));"
    "CREATE TABLE IF NOT EXISTS reg_value(key INTEGER NOT NULL,"
    " name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT NULL, data BLOB NOT NULL,"
    " PRIMARY KEY(key, name));"
    "CREATE TABLE IF NOT EXISTS db(id INTEGER PRIMARY KEY,"
    " name TEXT NOT NULL UNIQUE COLLATE NOCASE, type INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS record(id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " db INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS prop(record INTEGER NOT NULL, propid INTEGER NOT NULL,"
    " ord INTEGER NOT NULL, value, PRIMARY KEY(record, propid));"
    "CREATE INDEX IF NOT EXISTS record_db ON record(db, id);";

// Statements every later call relies on; if one does not prepare, the file is not ours.
const char* const kProbes[] = {
    "SELECT id, root, path FROM reg_key LIMIT 0",
    "SELECT key, name, type, data FROM reg_value LIMIT 0",
    "SELECT id, name, type FROM db LIMIT 0",
    "SELECT id, db FROM record LIMIT 0",
    "SELECT record, propid, ord, value FROM prop LIMIT 0",
};

struct State {
    std::string dir;  // empty: the default location
    sqlite3* db = nullptr;
    bool persistent = false;
    uint64_t generation = 1;
    int busyTimeoutMs = 1500;
    int depth = 0;            // transaction nesting
    uint32_t batchError = 0;  // the outermost transaction can no longer commit
    int failCount = 0;
    uint32_t failError = 0;
};

State& state() {
    static State s;
    return s;
}

thread_local uint32_t lastError = 0;

std::string defaultDir() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg) return std::string(xdg) + "/tallreed";
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.local/share/tallreed";
    return "./tallreed";
}

std::string storeDir() {
    return state().dir.empty() ? defaultDir() : state().dir;
}

bool makeDirs(const std::string& dir) {
    std::string part;
    for (size_t i = 0; i <= dir.size(); ++i) {
        if (i == dir.size() || (dir[i] == '/' && i > 0)) {
            part = dir.substr(0, i);
            if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
        }
    }
    struct stat st {};
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

// Moves a file to a new name without ever replacing another file: link() fails when the
// target exists. Directories (which cannot be linked) are renamed after a check.
bool moveNoReplace(const std::string& from, const std::string& to) {
    if (link(from.c_str(), to.c_str()) == 0) return unlink(from.c_str()) == 0;
    if (errno == EEXIST || exists(to)) return false;
    return rename(from.c_str(), to.c_str()) == 0;
}

// Moves the damaged store (and its journal, which belongs to it) to a name of its own.
// Answers the new name, or "" when it could not be moved.
std::string moveAside(const std::string& path) {
    char stamp[32];
    const std::time_t t = std::time(nullptr);
    struct tm tmv {};
    localtime_r(&t, &tmv);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tmv);
    for (int n = 1; n < 1000; ++n) {
        std::string target = path + ".broken-" + stamp;
        if (n > 1) target += "-" + std::to_string(n);
        if (exists(target) || exists(target + "-journal")) continue;
        if (!moveNoReplace(path, target)) {
            if (exists(target)) continue;
            return "";
        }
        if (exists(path + "-journal")) moveNoReplace(path + "-journal", target + "-journal");
        return target;
    }
    return "";
}

enum class Check { Ok, Busy, Broken };

Check classify(int rc) {
    const int primary = rc & 0xFF;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) return Check::Busy;
    return Check::Broken;
}

Check exec(sqlite3* db, const char* sql) {
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? Check::Ok : classify(rc);
}

// Is this file a whole store of ours (or an empty file that becomes one)?
Check checkAndPrepare(sqlite3* db) {
    {
        store_detail::Statement s(db, "PRAGMA quick_check(1)");
        if (!s.ok()) return classify(s.prepareError());
        const int rc = s.step();
        if (rc != SQLITE_ROW) return classify(rc);
        const unsigned char* text = sqlite3_column_text(s.get(), 0);
        if (!text || std::string(reinterpret_cast<const char*>(text)) != "ok") return Check::Broken;
    }
    if (sqlite3_db_readonly(db, "main") == 1) return Check::Broken;
    int objects = 0;
    {
        // Only our own tables and their indexes: triggers or views that a foreign or
        // tampered file brings along would run inside our writes.
        store_detail::Statement s(db, "SELECT type, name FROM sqlite_master");
        if (!s.ok()) return classify(s.prepareError());
        int rc;
        while ((rc = s.step()) == SQLITE_ROW) {
            ++objects;
            const unsigned char* n = sqlite3_column_text(s.get(), 1);
            const std::string name = n ? reinterpret_cast<const char*>(n) : "";
            const bool known = name == "reg_key" || name == "reg_value" || name == "db" ||
                               name == "record" || name == "prop" || name == "record_db" ||
                               name == "sqlite_sequence" || name.rfind("sqlite_autoindex_", 0) == 0;
            if (!known) return Check::Broken;
        }
        if (rc != SQLITE_DONE) return classify(rc);
    }
    if (objects > 0) {
        store_detail::Statement s(db, "PRAGMA application_id");
        if (!s.ok() || s.step() != SQLITE_ROW) return Check::Broken;
        if (sqlite3_column_int(s.get(), 0) != kApplicationId) return Check::Broken;
    }
    const std::string setup = std::string("BEGIN IMMEDIATE;") + kSchema +
                              "PRAGMA application_id=" + std::to_string(kApplicationId) +
                              ";COMMIT;";
    const Check made = exec(db, setup.c_str());
    if (made != Check::Ok) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return made;
    }
    for (const char* probe : kProbes) {
        store_detail::Statement s(db, probe);
        if (!s.ok()) return classify(s.prepareError());
    }
    return Check::Ok;
}

void harden(sqlite3* db) {
    // The file may come from anywhere: no schema-defined functions, no writable schema.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
}

sqlite3* openMemory() {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    harden(db);
    if (checkAndPrepare(db) != Check::Ok) {
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

void say(const std::string& text) {
    std::fprintf(stderr, "tallreed: %s\n", text.c_str());
}

void open() {
    State& st = state();
    const std::string dir = storeDir();
    const std::string path = dir + "/tallreed.db";
    st.persistent = false;
    if (!makeDirs(dir)) {
        say("cannot create the folder " + dir +
            "; settings and scores of this run will not be kept");
        st.db = openMemory();
        return;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        sqlite3* db = nullptr;
        const int rc =
            sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        Check check = Check::Broken;
        if (rc == SQLITE_OK) {
            harden(db);
            sqlite3_busy_timeout(db, st.busyTimeoutMs);
            check = checkAndPrepare(db);
        }
        if (check == Check::Ok) {
            st.db = db;
            st.persistent = true;
            return;
        }
        sqlite3_close(db);
        if (check == Check::Busy) {
            // Another copy is using the file: leave it exactly as it is.
            say("the store " + path +
                " is in use by another program; starting with default settings, and "
                "settings and scores of this run will not be kept");
            st.db = openMemory();
            return;
        }
        if (attempt > 0 || !exists(path)) break;
        const std::string moved = moveAside(path);
        if (moved.empty()) break;
        say("the store " + path + " could not be read; it was moved to " + moved +
            " and the game starts with default settings and an empty score table");
    }
    say("cannot open the store " + path + "; settings and scores of this run will not be kept");
    st.db = openMemory();
}

}  // namespace

uint32_t getLastError() {
    return lastError;
}
void setLastError(uint32_t code) {
    lastError = code;
}

void setStoreDirectory(const std::string& dir) {
    closeStore();
    state().dir = dir;
}

std::string storePath() {
    return storeDir() + "/tallreed.db";
}

void closeStore() {
    State& st = state();
    if (st.db) {
        if (!sqlite3_get_autocommit(st.db))
            sqlite3_exec(st.db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(st.db);
    }
    st.db = nullptr;
    st.persistent = false;
    st.depth = 0;
    st.batchError = 0;
    ++st.generation;
}

bool storeIsPersistent() {
    store_detail::connection();
    return state().persistent;
}

void setStoreBusyTimeout(int ms) {
    State& st = state();
    st.busyTimeoutMs = ms < 0 ? 0 : ms;
    if (st.db) sqlite3_busy_timeout(st.db, st.busyTimeoutMs);
}

void failNextStoreWrites(int count, uint32_t error) {
    state().failCount = count < 0 ? 0 : count;
    state().failError = error;
}

uint32_t beginStoreTransaction() {
    State& st = state();
    sqlite3* db = store_detail::connection();
    if (st.depth++ > 0) return st.batchError;
    st.batchError = 0;
    if (!db) {
        st.batchError = ERROR_IO_DEVICE;
        return st.batchError;
    }
    // Exclusive: nobody reads a half-written save, not even another copy of the game.
    const int rc = sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) st.batchError = store_detail::errorFromSqlite(rc);
    return st.batchError;
}

uint32_t commitStoreTransaction() {
    State& st = state();
    if (st.depth == 0) return ERROR_INVALID_PARAMETER;
    if (--st.depth > 0) return st.batchError;
    sqlite3* db = st.db;
    uint32_t error = st.batchError;
    st.batchError = 0;
    if (!db) return error ? error : ERROR_IO_DEVICE;
    if (error == 0) {
        const int rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) error = store_detail::errorFromSqlite(rc);
    }
    if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return error;
}

namespace store_detail {

sqlite3* connection() {
    if (!state().db) open();
    return state().db;
}

uint64_t generation() {
    return state().generation;
}

uint32_t errorFromSqlite(int rc) {
    switch (rc & 0xFF) {
        case SQLITE_OK:
        case SQLITE_ROW:
        case SQLITE_DONE:
            return ERROR_SUCCESS;
        case SQLITE_FULL:
            return ERROR_DISK_FULL;
        case SQLITE_NOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return ERROR_BUSY;
        case SQLITE_TOOBIG:
        case SQLITE_RANGE:
        case SQLITE_MISMATCH:
        case SQLITE_CONSTRAINT:
            return ERROR_INVALID_PARAMETER;
        default:
            return ERROR_IO_DEVICE;
    }
}

uint32_t beginWrite() {
    State& st = state();
    sqlite3* db = connection();
    if (st.failCount > 0) {
        --st.failCount;
        return st.failError;
    }
    if (!db) return ERROR_IO_DEVICE;
    if (st.depth > 0 && st.batchError) return st.batchError;
    const int rc = sqlite3_exec(db, "SAVEPOINT w", nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? ERROR_SUCCESS : errorFromSqlite(rc);
}

uint32_t endWrite(uint32_t error) {
    State& st = state();
    sqlite3* db = st.db;
    if (!db) return error ? error : ERROR_IO_DEVICE;
    if (error == 0) {
        const int rc = sqlite3_exec(db, "RELEASE w", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) error = errorFromSqlite(rc);
    }
    if (error != 0) {
        sqlite3_exec(db, "ROLLBACK TO w", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "RELEASE w", nullptr, nullptr, nullptr);
    }
    // SQLite drops a whole transaction on some errors (a full disk, for one); the writes
    // of the caller's transaction made before this one are then gone, so the rest of it
    // must not land on its own.
    if (st.depth > 0 && st.batchError == 0 && sqlite3_get_autocommit(db))
        st.batchError = error ? error : ERROR_IO_DEVICE;
    return error;
}

Statement::Statement(sqlite3* db, const char* sql) {
    prepareRc_ = db ? sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) : SQLITE_MISUSE;
    if (prepareRc_ != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

void Statement::bind(int i, int64_t v) {
    sqlite3_bind_int64(stmt_, i, v);
}
void Statement::bind(int i, double v) {
    sqlite3_bind_double(stmt_, i, v);
}
void Statement::bindText(int i, const std::string& s) {
    sqlite3_bind_text(stmt_, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}
void Statement::bindBlob(int i, const void* data, size_t bytes) {
    static const char empty = 0;
    sqlite3_bind_blob64(stmt_, i, bytes ? data : &empty, bytes, SQLITE_TRANSIENT);
}

int Statement::step() {
    return stmt_ ? sqlite3_step(stmt_) : SQLITE_MISUSE;
}
void Statement::reset() {
    if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
}

std::string toUtf8(const char16_t* s) {
    std::string out;
    if (!s) return out;
    for (size_t i = 0; s[i]; ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace store_detail
}  // namespace platform
