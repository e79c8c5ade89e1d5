// The one SQLite connection behind the registry and database stand-ins: opening (and
// setting a damaged file aside), the transaction nesting, the write gate and small
// statement helpers. Used only by the store's own sources.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

namespace platform::store_detail {

// The open connection; opens the store on first use. Null only when not even a store
// in memory could be made.
sqlite3* connection();
// Bumped whenever the store is closed, so that handles from before become invalid.
uint64_t generation();

// Translates an SQLite result into the handheld's error codes.
uint32_t errorFromSqlite(int rc);

// Why a write to the store file failed: the error code and words for the player, from
// the SQLite result and, where that alone does not tell, a look at the file system.
struct Failure {
    uint32_t code;
    std::string text;
};
Failure describeFailure(int rc, const std::string& dir, const std::string& path);

// Opens the store in `dir` (store_open.cpp): the file, or a store in memory when the
// file cannot be used. `notice` says what happened when anything did.
struct Opened {
    sqlite3* db = nullptr;
    bool persistent = false;
    std::string notice;
};
Opened openStore(const std::string& dir, int busyTimeoutMs);

// Every write goes through here: begin answers 0 to go ahead (a savepoint is then
// open), or the error to report (an injected failure, a failed transaction, no store).
// end commits the savepoint on success or rolls it back, and answers the final error.
uint32_t beginWrite();
uint32_t endWrite(uint32_t error);

// Statement helper: prepared once per call, finalised when it goes out of scope.
class Statement {
  public:
    Statement(sqlite3* db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    int prepareError() const { return prepareRc_; }
    sqlite3_stmt* get() const { return stmt_; }

    void bind(int i, int64_t v);
    void bind(int i, double v);
    void bindText(int i, const std::string& s);
    void bindBlob(int i, const void* data, size_t bytes);
    // SQLITE_ROW, SQLITE_DONE or an error.
    int step();
    void reset();

  private:
    sqlite3_stmt* stmt_ = nullptr;
    int prepareRc_ = SQLITE_OK;
};

// Reads at most `limit` bytes of the BLOB or TEXT held in `table`.`column` of row
// `rowid` into `out`, without loading the rest: a stored value may be far larger than
// anything the game wrote. `total` receives the whole size. False when the cell holds
// no such value (a number, or nothing).
bool readCellPrefix(sqlite3* db, const char* table, const char* column, int64_t rowid, size_t limit,
                    std::vector<uint8_t>& out, size_t& total);

// UTF-16 (null-terminated) to UTF-8; unpaired surrogates become U+FFFD.
std::string toUtf8(const char16_t* s);

}  // namespace platform::store_detail
