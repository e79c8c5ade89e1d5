// The property-database stand-in: named databases, records in the order they were made,
// typed properties per record. Errors go to the calling thread's last error.
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/store/store.h"
#include "platform/store/store_connection.h"
#include "platform/store/store_rules.h"

namespace platform {
namespace {

using store_rules::knownType;
using store_rules::validName;

using store_detail::Statement;

struct OpenDb {
    int64_t id;
    int64_t position;  // may be past the last record
    uint64_t generation;
};

std::map<DbHandle, OpenDb>& handles() {
    static std::map<DbHandle, OpenDb> m;
    return m;
}

DbHandle nextHandle = 0x100;

OpenDb* findDb(DbHandle h) {
    auto it = handles().find(h);
    if (it == handles().end() || it->second.generation != store_detail::generation())
        return nullptr;
    return &it->second;
}

// The handheld kept no property larger than this; a longer stored string is cut here,
// so that a tampered file cannot make one read cost any amount of memory.
constexpr size_t kMaxPropertyBytes = 65472;

size_t wideLength(const char16_t* s) {
    size_t n = 0;
    while (s[n]) ++n;
    return n;
}

// Record id at a position, 0 when there is none (or the stored id does not fit).
CEOID recordAt(int64_t db, int64_t position) {
    if (position < 0) return 0;
    Statement q(store_detail::connection(),
                "SELECT id FROM record WHERE db = ?1 ORDER BY id LIMIT 1 OFFSET ?2");
    if (!q.ok()) return 0;
    q.bind(1, db);
    q.bind(2, position);
    if (q.step() != SQLITE_ROW) return 0;
    const int64_t id = sqlite3_column_int64(q.get(), 0);
    return id > 0 && id <= 0xFFFFFFFFll ? static_cast<CEOID>(id) : 0;
}

int64_t recordCount(int64_t db) {
    Statement q(store_detail::connection(), "SELECT count(*) FROM record WHERE db = ?1");
    if (!q.ok()) return 0;
    q.bind(1, db);
    if (q.step() != SQLITE_ROW) return 0;
    return sqlite3_column_int64(q.get(), 0);
}

uint32_t writeProps(sqlite3* conn, int64_t record, uint16_t count, const CEPROPVAL* props) {
    Statement del(conn, "DELETE FROM prop WHERE record = ?1 AND propid = ?2");
    Statement put(conn,
                  "INSERT INTO prop(record, propid, ord, value) VALUES(?1, ?2,"
                  " coalesce((SELECT ord FROM prop WHERE record = ?1 AND propid = ?2),"
                  " (SELECT coalesce(max(ord), -1) + 1 FROM prop WHERE record = ?1)), ?3)"
                  " ON CONFLICT(record, propid) DO UPDATE SET value = excluded.value");
    if (!del.ok()) return store_detail::errorFromSqlite(del.prepareError());
    if (!put.ok()) return store_detail::errorFromSqlite(put.prepareError());
    for (uint16_t i = 0; i < count; ++i) {
        const CEPROPVAL& p = props[i];
        Statement& s = (p.wFlags & CEDB_PROPDELETE) ? del : put;
        s.reset();
        s.bind(1, record);
        s.bind(2, static_cast<int64_t>(p.propid));
        if (!(p.wFlags & CEDB_PROPDELETE)) {
            switch (typeFromPropId(p.propid)) {
                case CEVT_I2:
                    s.bind(3, static_cast<int64_t>(p.val.iVal));
                    break;
                case CEVT_UI2:
                    s.bind(3, static_cast<int64_t>(p.val.uiVal));
                    break;
                case CEVT_BOOL:
                    s.bind(3, static_cast<int64_t>(p.val.boolVal));
                    break;
                case CEVT_I4:
                    s.bind(3, static_cast<int64_t>(p.val.lVal));
                    break;
                case CEVT_UI4:
                    s.bind(3, static_cast<int64_t>(p.val.ulVal));
                    break;
                case CEVT_R8:
                    s.bind(3, p.val.dblVal);
                    break;
                case CEVT_LPWSTR:
                    s.bindBlob(3, p.val.lpwstr, wideLength(p.val.lpwstr) * sizeof(char16_t));
                    break;
            }
        }
        const int rc = s.step();
        if (rc != SQLITE_DONE) return store_detail::errorFromSqlite(rc);
    }
    return ERROR_SUCCESS;
}

}  // namespace

CEOID ceCreateDatabase(const char16_t* name, uint32_t type) {
    if (!validName(name)) {
        setLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    sqlite3* conn = store_detail::connection();
    {
        Statement q(conn, "SELECT id FROM db WHERE name = ?1");
        q.bindText(1, store_detail::toUtf8(name));
        const int rc = q.step();
        if (rc == SQLITE_ROW) {
            setLastError(ERROR_DUP_NAME);
            return 0;
        }
        if (rc != SQLITE_DONE) {
            setLastError(store_detail::errorFromSqlite(rc));
            return 0;
        }
    }
    uint32_t error = store_detail::beginWrite();
    int64_t id = 0;
    if (!error) {
        Statement add(conn, "INSERT INTO db(name, type) VALUES(?1, ?2)");
        add.bindText(1, store_detail::toUtf8(name));
        add.bind(2, static_cast<int64_t>(type));
        const int rc = add.step();
        if (rc != SQLITE_DONE) error = store_detail::errorFromSqlite(rc);
        if (!error) id = sqlite3_last_insert_rowid(conn);
        error = store_detail::endWrite(error);
    }
    if (!error && (id <= 0 || id > 0xFFFFFFFFll)) error = ERROR_DISK_FULL;
    setLastError(error);
    return error ? 0 : static_cast<CEOID>(id);
}

DbHandle ceOpenDatabase(const char16_t* name) {
    if (!validName(name)) {
        setLastError(ERROR_INVALID_PARAMETER);
        return INVALID_DB_HANDLE;
    }
    Statement q(store_detail::connection(), "SELECT id FROM db WHERE name = ?1");
    if (!q.ok()) {
        setLastError(store_detail::errorFromSqlite(q.prepareError()));
        return INVALID_DB_HANDLE;
    }
    q.bindText(1, store_detail::toUtf8(name));
    const int rc = q.step();
    if (rc != SQLITE_ROW) {
        setLastError(rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : store_detail::errorFromSqlite(rc));
        return INVALID_DB_HANDLE;
    }
    const DbHandle h = nextHandle++;
    handles()[h] = OpenDb{sqlite3_column_int64(q.get(), 0), 0, store_detail::generation()};
    setLastError(ERROR_SUCCESS);
    return h;
}

CEOID ceSeekDatabase(DbHandle h, uint32_t how, int32_t value, int32_t* index) {
    if (index) *index = -1;
    OpenDb* d = findDb(h);
    if (!d) {
        setLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    int64_t target;
    switch (how) {
        case CEDB_SEEK_BEGINNING:
            target = value;
            break;
        case CEDB_SEEK_CURRENT:
            target = d->position + value;
            break;
        case CEDB_SEEK_END:
            target = recordCount(d->id) - 1 - value;
            break;
        default:
            setLastError(ERROR_INVALID_PARAMETER);
            return 0;
    }
    if (target < 0) {
        setLastError(ERROR_NO_MORE_ITEMS);
        return 0;
    }
    d->position = target;
    const CEOID id = recordAt(d->id, target);
    if (!id) {
        setLastError(ERROR_NO_MORE_ITEMS);
        return 0;
    }
    if (index) *index = static_cast<int32_t>(target);
    setLastError(ERROR_SUCCESS);
    return id;
}

CEOID ceReadRecordProps(DbHandle h, uint16_t* count, CEPROPVAL** buffer) {
    if (count) *count = 0;
    if (buffer) *buffer = nullptr;
    OpenDb* d = findDb(h);
    if (!d || !count || !buffer) {
        setLastError(d ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return 0;
    }
    const CEOID id = recordAt(d->id, d->position);
    if (!id) {
        setLastError(ERROR_NO_MORE_ITEMS);
        return 0;
    }
    // Numbers come with the row; text is read on its own, only as far as it may go.
    sqlite3* conn = store_detail::connection();
    Statement q(conn,
                "SELECT propid, CASE WHEN typeof(value) IN ('blob', 'text') THEN NULL"
                " ELSE value END, rowid FROM prop WHERE record = ?1 ORDER BY ord, propid");
    if (!q.ok()) {
        setLastError(store_detail::errorFromSqlite(q.prepareError()));
        return 0;
    }
    q.bind(1, static_cast<int64_t>(id));

    // Gather first, then lay out one block: the values, then the strings they point to.
    struct Item {
        CEPROPVAL prop;
        std::u16string text;
    };
    std::vector<Item> items;
    int rc;
    while (items.size() < 0xFFFF && (rc = q.step()) == SQLITE_ROW) {
        Item it{};
        it.prop.propid = static_cast<uint32_t>(sqlite3_column_int64(q.get(), 0));
        sqlite3_stmt* s = q.get();
        switch (typeFromPropId(it.prop.propid)) {
            case CEVT_I2:
            case CEVT_UI2:
            case CEVT_BOOL:
                it.prop.val.uiVal = static_cast<uint16_t>(sqlite3_column_int64(s, 1));
                break;
            case CEVT_I4:
            case CEVT_UI4:
                it.prop.val.ulVal = static_cast<uint32_t>(sqlite3_column_int64(s, 1));
                break;
            case CEVT_R8:
                it.prop.val.dblVal = sqlite3_column_double(s, 1);
                break;
            case CEVT_LPWSTR: {
                std::vector<uint8_t> bytes;
                size_t total = 0;
                store_detail::readCellPrefix(conn, "prop", "value", sqlite3_column_int64(s, 2),
                                             kMaxPropertyBytes, bytes, total);
                for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
                    const char16_t c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
                    if (c == 0) break;  // the reader sees a C string: it ends here
                    it.text += c;
                }
                break;
            }
            default:
                break;  // a type we do not keep: reported with a zero value
        }
        items.push_back(std::move(it));
    }
    size_t bytes = items.size() * sizeof(CEPROPVAL);
    for (const Item& it : items)
        if (typeFromPropId(it.prop.propid) == CEVT_LPWSTR)
            bytes += (it.text.size() + 1) * sizeof(char16_t);
    auto* block = static_cast<uint8_t*>(std::malloc(bytes ? bytes : 1));
    if (!block) {
        setLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    auto* values = reinterpret_cast<CEPROPVAL*>(block);
    auto* text = reinterpret_cast<char16_t*>(block + items.size() * sizeof(CEPROPVAL));
    for (size_t i = 0; i < items.size(); ++i) {
        values[i] = items[i].prop;
        if (typeFromPropId(items[i].prop.propid) == CEVT_LPWSTR) {
            std::memcpy(text, items[i].text.data(), items[i].text.size() * sizeof(char16_t));
            text[items[i].text.size()] = 0;
            values[i].val.lpwstr = text;
            text += items[i].text.size() + 1;
        }
    }
    *count = static_cast<uint16_t>(items.size());
    *buffer = values;
    setLastError(ERROR_SUCCESS);
    return id;
}

void localFree(void* buffer) {
    std::free(buffer);
}

CEOID ceWriteRecordProps(DbHandle h, CEOID record, uint16_t count, const CEPROPVAL* props) {
    OpenDb* d = findDb(h);
    if (!d) {
        setLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (count > 0 && !props) {
        setLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    for (uint16_t i = 0; i < count; ++i) {
        const uint16_t type = typeFromPropId(props[i].propid);
        const bool deleting = props[i].wFlags & CEDB_PROPDELETE;
        if (!deleting && (!knownType(type) || (type == CEVT_LPWSTR && !props[i].val.lpwstr))) {
            setLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
    }
    const int64_t dbId = d->id;
    sqlite3* conn = store_detail::connection();
    uint32_t error = store_detail::beginWrite();
    if (error) {
        setLastError(error);
        return 0;
    }
    int64_t id = record;
    if (record == 0) {
        Statement add(conn, "INSERT INTO record(db) VALUES(?1)");
        add.bind(1, dbId);
        const int rc = add.step();
        if (rc != SQLITE_DONE) error = store_detail::errorFromSqlite(rc);
        id = sqlite3_last_insert_rowid(conn);
        if (!error && (id <= 0 || id > 0xFFFFFFFFll)) error = ERROR_DISK_FULL;
    } else {
        Statement q(conn, "SELECT 1 FROM record WHERE id = ?1 AND db = ?2");
        q.bind(1, static_cast<int64_t>(record));
        q.bind(2, dbId);
        const int rc = q.step();
        if (rc == SQLITE_DONE)
            error = ERROR_INVALID_PARAMETER;
        else if (rc != SQLITE_ROW)
            error = store_detail::errorFromSqlite(rc);
    }
    if (!error) error = writeProps(conn, id, count, props);
    error = store_detail::endWrite(error);
    setLastError(error);
    return error ? 0 : static_cast<CEOID>(id);
}

bool ceCloseHandle(DbHandle h) {
    auto it = handles().find(h);
    if (it == handles().end()) {
        setLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    handles().erase(it);
    setLastError(ERROR_SUCCESS);
    return true;
}

bool ceDeleteDatabase(const char16_t* name) {
    if (!validName(name)) {
        setLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    sqlite3* conn = store_detail::connection();
    uint32_t error = store_detail::beginWrite();
    if (!error) {
        const std::string n = store_detail::toUtf8(name);
        const char* steps[] = {
            ("DELETE FROM prop WHERE record IN (SELECT r.id FROM record r JOIN db d"
             " ON r.db = d.id WHERE d.name = ?1)"),
            "DELETE FROM record WHERE db IN (SELECT id FROM db WHERE name = ?1)",
            "DELETE FROM db WHERE name = ?1",
        };
        for (const char* sql : steps) {
            Statement s(conn, sql);
            s.bindText(1, n);
            const int rc = s.step();
            if (rc != SQLITE_DONE) {
                error = store_detail::errorFromSqlite(rc);
                break;
            }
        }
        if (!error && sqlite3_changes(conn) == 0) error = ERROR_FILE_NOT_FOUND;
        error = store_detail::endWrite(error);
    }
    setLastError(error);
    return error == 0;
}

}  // namespace platform
