#include "platform/store/store_connection.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "platform/store/store.h"
#include "platform/store/store_rules.h"

namespace platform {
namespace {

struct State {
    std::string dir;  // empty: the platform's data folder
    sqlite3* db = nullptr;
    bool persistent = false;
    std::string notice;  // what opening found, until it is taken
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

std::string storeDir() {
    return state().dir.empty() ? dataFolder() : state().dir;
}

void open() {
    State& st = state();
    store_detail::Opened opened = store_detail::openStore(storeDir(), st.busyTimeoutMs);
    st.db = opened.db;
    st.persistent = opened.persistent;
    st.notice = std::move(opened.notice);
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
    const std::string dir = storeDir();
    return dir.empty() ? "" : dir + "/tallreed.db";
}

std::string takeStoreNotice() {
    store_detail::connection();
    return std::exchange(state().notice, std::string());
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
    st.notice.clear();
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
            // Read-only files and folders, and the like: the file system tells which.
            if (!state().persistent) return ERROR_IO_DEVICE;
            return describeFailure(rc, storeDir(), storePath()).code;
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

bool readCellPrefix(sqlite3* db, const char* table, const char* column, int64_t rowid, size_t limit,
                    std::vector<uint8_t>& out, size_t& total) {
    out.clear();
    total = 0;
    sqlite3_blob* blob = nullptr;
    if (sqlite3_blob_open(db, "main", table, column, rowid, 0, &blob) != SQLITE_OK) {
        sqlite3_blob_close(blob);
        return false;
    }
    total = static_cast<size_t>(sqlite3_blob_bytes(blob));
    out.resize(std::min(limit, total));
    const bool read =
        out.empty() ||
        sqlite3_blob_read(blob, out.data(), static_cast<int>(out.size()), 0) == SQLITE_OK;
    sqlite3_blob_close(blob);
    if (!read) out.clear();
    return read;
}

std::string toUtf8(const char16_t* s) {
    return store_rules::toUtf8(s);
}

}  // namespace store_detail
}  // namespace platform
