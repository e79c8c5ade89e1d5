// The handheld's registry and property database, as every storage backend provides
// them: the game's persistence layer uses nothing else. Error codes are the handheld's
// (0 success, 2 not found, 87 invalid parameter, 112 disk full, ...).
//
// Every single write is its own transaction; a caller that writes several values that
// belong together wraps them in a StoreTransaction, so that a crash or a kill leaves
// either the old or the new state, never a mix.
//
// The desktop and headless backends keep both in one SQLite file in the platform's data
// folder (platform::dataFolder(), i.e. $XDG_DATA_HOME/tallreed/tallreed.db). A file that
// is damaged or not a database of ours is set aside (platform::setAsideDamaged, never
// deleted) and a fresh one started. A whole file that cannot be written (read-only, a
// full disk, locked by another program) is read and never touched; one that cannot even
// be read is left alone and the run keeps a store in memory. What happened is told once
// through takeStoreNotice().
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// ---------------------------------------------------------------------------
// Error codes shared by the registry (returned) and the database (last error).
constexpr uint32_t ERROR_SUCCESS = 0;
constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
constexpr uint32_t ERROR_ACCESS_DENIED = 5;
constexpr uint32_t ERROR_INVALID_HANDLE = 6;
constexpr uint32_t ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr uint32_t ERROR_WRITE_PROTECT = 19;
constexpr uint32_t ERROR_DUP_NAME = 52;
constexpr uint32_t ERROR_INVALID_PARAMETER = 87;
constexpr uint32_t ERROR_DISK_FULL = 112;
constexpr uint32_t ERROR_BUSY = 170;
constexpr uint32_t ERROR_MORE_DATA = 234;
constexpr uint32_t ERROR_NO_MORE_ITEMS = 259;
constexpr uint32_t ERROR_IO_DEVICE = 1117;

// The calling thread's last error code, set by the database calls below.
uint32_t getLastError();
void setLastError(uint32_t code);

// ---------------------------------------------------------------------------
// The store as a whole.

// Closes the store and forgets every open key and database handle. The next call
// reopens it (as a restart of the program would).
void closeStore();
// False while the store lives in memory only (what it holds ends with the run).
bool storeIsPersistent();
// What opening the store found that the player should know (a damaged file set aside,
// a file that cannot be written or read, and why), in the player's words; "" when all
// is well. Answered once per opening: the second call answers "".
std::string takeStoreNotice();

// Where the store keeps its data: a folder for the file-based backends ("" = back to
// the platform's data folder). Closes the open store; the next call opens the new one.
void setStoreDirectory(const std::string& dir);
// The file the store uses (or will use when opened); "" without a folder.
std::string storePath();
// How long a call waits for a file that another process holds locked (default 1500 ms).
void setStoreBusyTimeout(int ms);

// Groups writes into one transaction. Transactions nest; only the outermost commit
// writes. Commit answers ERROR_SUCCESS or the error that kept the writes off the disk
// (then none of them is there). A single write that fails inside a transaction leaves
// nothing behind and the others go on; only when the failure cost the whole transaction
// do the later writes fail too and the commit report it.
uint32_t beginStoreTransaction();
uint32_t commitStoreTransaction();

class StoreTransaction {
  public:
    StoreTransaction() { beginStoreTransaction(); }
    ~StoreTransaction() {
        if (!done_) commitStoreTransaction();
    }
    StoreTransaction(const StoreTransaction&) = delete;
    StoreTransaction& operator=(const StoreTransaction&) = delete;
    uint32_t commit() {
        done_ = true;
        return commitStoreTransaction();
    }

  private:
    bool done_ = false;
};

// For tests of the failure paths: the next `count` writes (registry values and database
// records) fail with `error` without touching the file.
void failNextStoreWrites(int count, uint32_t error);

// ---------------------------------------------------------------------------
// Registry stand-in: keys by path under a root, typed values under a key.
using HKEY = intptr_t;
inline const HKEY HKEY_CURRENT_USER = static_cast<HKEY>(0x80000001u);

constexpr uint32_t REG_SZ = 1;     // UTF-16 text with its terminating null
constexpr uint32_t REG_DWORD = 4;  // 4 bytes, little-endian

constexpr uint32_t REG_CREATED_NEW_KEY = 1;
constexpr uint32_t REG_OPENED_EXISTING_KEY = 2;

// Creates or opens the key `path` (parts separated by '\') under `root`. `disposition`
// (may be null) tells whether it was newly created.
uint32_t regCreateKey(HKEY root, const char16_t* path, HKEY* key, uint32_t* disposition);
// Reads a value. With `data` null only the type and size are returned. A buffer smaller
// than the value gives ERROR_MORE_DATA with the needed size in *size.
uint32_t regQueryValue(HKEY key, const char16_t* name, uint32_t* type, uint8_t* data,
                       uint32_t* size);
uint32_t regSetValue(HKEY key, const char16_t* name, uint32_t type, const uint8_t* data,
                     uint32_t size);
uint32_t regDeleteValue(HKEY key, const char16_t* name);
uint32_t regCloseKey(HKEY key);

// ---------------------------------------------------------------------------
// Property-database stand-in: databases by name, records in the order they were made,
// each record a list of typed properties.
using CEOID = uint32_t;
using DbHandle = intptr_t;
inline const DbHandle INVALID_DB_HANDLE = -1;

constexpr uint16_t CEVT_I2 = 2;
constexpr uint16_t CEVT_I4 = 3;
constexpr uint16_t CEVT_R8 = 5;
constexpr uint16_t CEVT_BOOL = 11;
constexpr uint16_t CEVT_UI2 = 18;
constexpr uint16_t CEVT_UI4 = 19;
constexpr uint16_t CEVT_LPWSTR = 31;

constexpr uint16_t CEDB_PROPDELETE = 0x0002;  // write: remove this property

constexpr uint32_t CEDB_SEEK_BEGINNING = 2;  // to record number `value`
constexpr uint32_t CEDB_SEEK_END = 4;        // `value` records back from the last one
constexpr uint32_t CEDB_SEEK_CURRENT = 8;    // `value` records on from the current one

union CEVALUNION {
    uint64_t raw;  // first, so that `{}` clears all eight bytes
    int16_t iVal;
    uint16_t uiVal;
    int32_t lVal;
    uint32_t ulVal;
    int16_t boolVal;
    double dblVal;
    char16_t* lpwstr;
};

struct CEPROPVAL {
    uint32_t propid = 0;  // (index << 16) | type
    uint16_t wLenData = 0;
    uint16_t wFlags = 0;
    CEVALUNION val{};
};

constexpr uint16_t typeFromPropId(uint32_t propid) {
    return static_cast<uint16_t>(propid);
}
constexpr uint32_t makePropId(uint16_t index, uint16_t type) {
    return (static_cast<uint32_t>(index) << 16) | type;
}

// Creates an empty database. 0 on failure, with the last error ERROR_DUP_NAME when one
// of that name exists, ERROR_INVALID_PARAMETER for a bad name, ERROR_DISK_FULL when the
// store cannot take it.
CEOID ceCreateDatabase(const char16_t* name, uint32_t type);
// Opens a database by name, positioned at its first record. INVALID_DB_HANDLE on
// failure (last error ERROR_FILE_NOT_FOUND when there is none of that name).
DbHandle ceOpenDatabase(const char16_t* name);
// Moves the current position. Answers the record id now current, 0 when there is none
// (the position may then be past the last record). *index (may be null) receives the
// new position, -1 when there is no record there.
CEOID ceSeekDatabase(DbHandle db, uint32_t how, int32_t value, int32_t* index);
// Reads every property of the current record into one buffer that the call allocates
// (strings inside it) and the caller frees with localFree. Answers the record id, 0
// when there is no current record. A stored string is cut after 65472 bytes (the
// handheld's largest property), however long it is in the file.
CEOID ceReadRecordProps(DbHandle db, uint16_t* count, CEPROPVAL** buffer);
void localFree(void* buffer);
// Writes properties onto record `record` (0: a new record at the end). A property with
// an id the record has already replaces it. Answers the record id, 0 on failure.
CEOID ceWriteRecordProps(DbHandle db, CEOID record, uint16_t count, const CEPROPVAL* props);
bool ceCloseHandle(DbHandle db);
bool ceDeleteDatabase(const char16_t* name);

}  // namespace platform
