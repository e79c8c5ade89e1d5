// Opening the store file. A damaged file (not a database, damaged pages, another
// program's tables) is set aside and a fresh one started. A whole file that only cannot
// be written now (read-only, a full disk, another program holding it) is read and never
// touched: the next start, with room on the disk again, goes on with it.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/host_folders.h"
#include "platform/platform.h"
#include "platform/store/store.h"
#include "platform/store/store_connection.h"

namespace platform::store_detail {
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
    "SELECT rowid, key, name, type, data FROM reg_value LIMIT 0",
    "SELECT id, name, type FROM db LIMIT 0",
    "SELECT id, db FROM record LIMIT 0",
    "SELECT rowid, record, propid, ord, value FROM prop LIMIT 0",
};

bool isDamage(int rc) {
    const int primary = rc & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_FORMAT;
}

bool probesPrepare(sqlite3* db) {
    for (const char* probe : kProbes) {
        Statement s(db, probe);
        if (!s.ok()) return false;
    }
    return true;
}

// What a look at an open file found, without writing anything.
struct Look {
    enum Kind { Whole, Unfinished, Damaged, Trouble } kind = Trouble;
    int rc = SQLITE_OK;  // Trouble: what stopped the look
    std::string why;     // Damaged: what is wrong, for the player
};

Look failed(int rc) {
    if (isDamage(rc)) return {Look::Damaged, rc, sqlite3_errstr(rc)};
    return {Look::Trouble, rc, ""};
}

Look inspect(sqlite3* db) {
    {
        Statement s(db, "PRAGMA quick_check(1)");
        if (!s.ok()) return failed(s.prepareError());
        const int rc = s.step();
        if (rc != SQLITE_ROW) return failed(rc);
        const unsigned char* text = sqlite3_column_text(s.get(), 0);
        const std::string said = text ? reinterpret_cast<const char*>(text) : "";
        if (said != "ok") return {Look::Damaged, SQLITE_CORRUPT, "damaged pages (" + said + ")"};
    }
    int objects = 0;
    {
        // Only our own tables and their indexes: triggers or views that a foreign or
        // tampered file brings along would run inside our writes.
        Statement s(db, "SELECT type, name FROM sqlite_master");
        if (!s.ok()) return failed(s.prepareError());
        int rc;
        while ((rc = s.step()) == SQLITE_ROW) {
            ++objects;
            const unsigned char* n = sqlite3_column_text(s.get(), 1);
            const std::string name = n ? reinterpret_cast<const char*>(n) : "";
            const bool known = name == "reg_key" || name == "reg_value" || name == "db" ||
                               name == "record" || name == "prop" || name == "record_db" ||
                               name == "sqlite_sequence" || name.rfind("sqlite_autoindex_", 0) == 0;
            if (!known) return {Look::Damaged, SQLITE_OK, "it holds tables of another program"};
        }
        if (rc != SQLITE_DONE) return failed(rc);
    }
    if (objects == 0) return {Look::Unfinished, SQLITE_OK, ""};
    {
        Statement s(db, "PRAGMA application_id");
        if (!s.ok()) return failed(s.prepareError());
        const int rc = s.step();
        if (rc != SQLITE_ROW) return failed(rc);
        if (sqlite3_column_int(s.get(), 0) != kApplicationId)
            return {Look::Damaged, SQLITE_OK, "it belongs to another program"};
    }
    return {probesPrepare(db) ? Look::Whole : Look::Unfinished, SQLITE_OK, ""};
}

// Writes the mark of ours (and the tables, when some are missing) in one transaction.
// The mark is written even when it is there: that is the test that the file takes
// writes at all.
int writeMark(sqlite3* db, bool withSchema) {
    const std::string sql = std::string("BEGIN IMMEDIATE;") + (withSchema ? kSchema : "") +
                            "PRAGMA application_id=" + std::to_string(kApplicationId) + ";COMMIT;";
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK && !sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return rc;
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
            SQLITE_OK ||
        (harden(db), writeMark(db, true)) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

bool exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

std::string errnoText(int error) {
    if (error == EACCES || error == EPERM) return "permission denied";
    if (error == ENOSPC) return "disk full";
    if (error == EROFS) return "the file system is read-only";
    return std::strerror(error);
}

// A file that we created ourselves and could not fill is not left behind.
void removeIfEmpty(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0)
        unlink(path.c_str());
}

// One try at the file.
struct Attempt {
    enum Kind { Open, ReadOnly, NoStore, Damaged } kind = NoStore;
    sqlite3* db = nullptr;  // Open and ReadOnly
    bool existed = false;
    bool unread = false;  // NoStore: the file's contents could not even be read
    std::string why;
};

Attempt attempt(const std::string& dir, const std::string& path, int busyTimeoutMs) {
    Attempt a;
    struct stat st {};
    a.existed = stat(path.c_str(), &st) == 0;
    if (a.existed && !S_ISREG(st.st_mode)) {
        a.kind = Attempt::Damaged;
        a.why = "it is not a file";
        return a;
    }
    if (a.existed) {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            a.unread = true;
            a.why = errnoText(errno);
            return a;
        }
        close(fd);
    }
    auto giveUp = [&](int rc) {
        sqlite3_close(a.db);
        a.db = nullptr;
        if (!a.existed) removeIfEmpty(path);
        a.why = describeFailure(rc, dir, path).text;
        return a;
    };
    int rc =
        sqlite3_open_v2(path.c_str(), &a.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        if (a.existed && isDamage(rc)) {
            sqlite3_close(a.db);
            a.db = nullptr;
            a.kind = Attempt::Damaged;
            a.why = sqlite3_errstr(rc);
            return a;
        }
        return giveUp(rc);
    }
    harden(a.db);
    sqlite3_busy_timeout(a.db, busyTimeoutMs);
    const Look look = inspect(a.db);
    if (look.kind == Look::Trouble) {
        a.unread = true;
        return giveUp(look.rc);
    }
    if (look.kind == Look::Damaged) {
        sqlite3_close(a.db);
        a.db = nullptr;
        a.kind = Attempt::Damaged;
        a.why = look.why;
        return a;
    }
    rc = writeMark(a.db, look.kind == Look::Unfinished);
    if (rc == SQLITE_OK && !probesPrepare(a.db)) {
        sqlite3_close(a.db);
        a.db = nullptr;
        a.kind = Attempt::Damaged;
        a.why = "its tables are not the game's";
        return a;
    }
    if (rc == SQLITE_OK) {
        a.kind = Attempt::Open;
        return a;
    }
    // Nothing to read in an unfinished file: it stays as it was, and the run uses memory.
    if (look.kind == Look::Unfinished) return giveUp(rc);
    a.kind = Attempt::ReadOnly;
    a.why = describeFailure(rc, dir, path).text;
    return a;
}

}  // namespace

Failure describeFailure(int rc, const std::string& dir, const std::string& path) {
    const int primary = rc & 0xFF;
    struct statvfs fs {};
    const bool haveFs = statvfs(dir.c_str(), &fs) == 0;
    if (haveFs && (fs.f_flag & ST_RDONLY) != 0)
        return {ERROR_WRITE_PROTECT, "the file system is read-only"};
    if (primary == SQLITE_FULL) return {ERROR_DISK_FULL, "disk full"};
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        return {ERROR_BUSY, "another program is using it"};
    if (primary == SQLITE_NOMEM) return {ERROR_NOT_ENOUGH_MEMORY, "not enough memory"};
    if (exists(path) && faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 &&
        (errno == EACCES || errno == EPERM))
        return {ERROR_ACCESS_DENIED, "the file is read-only"};
    if (faccessat(AT_FDCWD, dir.c_str(), W_OK | X_OK, AT_EACCESS) != 0 &&
        (errno == EACCES || errno == EPERM))
        return {ERROR_ACCESS_DENIED, "the folder " + dir + " is read-only"};
    if (primary == SQLITE_READONLY || primary == SQLITE_PERM || primary == SQLITE_AUTH ||
        primary == SQLITE_CANTOPEN)
        return {ERROR_ACCESS_DENIED, "permission denied"};
    // Some writes that find no room come back as plain i/o errors.
    if (haveFs && fs.f_bavail == 0) return {ERROR_DISK_FULL, "disk full"};
    return {ERROR_IO_DEVICE, sqlite3_errstr(rc)};
}

Opened openStore(const std::string& dir, int busyTimeoutMs) {
    Opened out;
    auto inMemory = [&out](const std::string& notice) {
        out.db = openMemory();
        out.persistent = false;
        out.notice += notice;
        return out;
    };
    if (dir.empty())
        return inMemory(
            "There is no folder to keep settings and scores in (no home folder). The game "
            "starts with default settings and nothing of this run will be kept.");
    if (!makeFolders(dir, 0755))
        return inMemory("Settings and scores cannot be kept: the folder " + dir +
                        " cannot be made (" + errnoText(errno) +
                        "). The game starts with default settings and nothing of this run "
                        "will be kept.");
    const std::string path = dir + "/tallreed.db";
    Attempt a = attempt(dir, path, busyTimeoutMs);
    if (a.kind == Attempt::Damaged) {
        const std::string moved = setAsideDamaged(path, {"-journal"});
        if (moved.empty())
            return inMemory("Settings and scores in " + path + " could not be read (" + a.why +
                            "), and the file could not be moved aside; it was left as it is. "
                            "The game starts with default settings and nothing of this run "
                            "will be kept.");
        out.notice = "Settings and scores in " + path + " could not be read (" + a.why +
                     "). The file was moved to " + moved +
                     " and the game starts with default settings and an empty score table.";
        a = attempt(dir, path, busyTimeoutMs);
        if (a.kind == Attempt::Damaged) a.kind = Attempt::NoStore;
        if (a.kind != Attempt::Open) out.notice += "\n";
    }
    switch (a.kind) {
        case Attempt::Open:
            out.db = a.db;
            out.persistent = true;
            return out;
        case Attempt::ReadOnly:
            out.db = a.db;
            out.persistent = true;
            out.notice += "Settings and scores in " + path + " cannot be written: " + a.why +
                          ". They were loaded and the game goes on, but what changes in "
                          "this run may not be kept.";
            return out;
        default:
            if (a.existed && a.unread)
                return inMemory("Settings and scores in " + path + " cannot be read: " + a.why +
                                ". The file was left as it is; the game starts with default "
                                "settings and nothing of this run will be kept.");
            return inMemory("Settings and scores cannot be kept in " + path + ": " + a.why +
                            ". The game starts with default settings and nothing of this run "
                            "will be kept.");
    }
}

}  // namespace platform::store_detail
