// The registry stand-in: keys by path under a root, typed byte values under a key.
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/store/store.h"
#include "platform/store/store_connection.h"
#include "platform/store/store_rules.h"

namespace platform {
namespace {

using store_rules::normalisePath;

using store_detail::Statement;

struct OpenKey {
    int64_t id;
    int64_t root;
    std::string path;
    uint64_t generation;
};

std::map<HKEY, OpenKey>& keys() {
    static std::map<HKEY, OpenKey> m;
    return m;
}

HKEY nextHandle = 0x1000;

const OpenKey* findKey(HKEY key) {
    auto it = keys().find(key);
    if (it == keys().end() || it->second.generation != store_detail::generation()) return nullptr;
    return &it->second;
}

}  // namespace

uint32_t regCreateKey(HKEY root, const char16_t* path, HKEY* key, uint32_t* disposition) {
    if (!key) return ERROR_INVALID_PARAMETER;
    *key = 0;
    std::string full = normalisePath(store_detail::toUtf8(path));
    int64_t rootId = static_cast<int64_t>(static_cast<uint32_t>(root));
    if (root != HKEY_CURRENT_USER) {
        const OpenKey* parent = findKey(root);
        if (!parent) return ERROR_INVALID_HANDLE;
        rootId = parent->root;
        full = normalisePath(parent->path + "\\" + full);
    }
    sqlite3* db = store_detail::connection();
    if (!db) return ERROR_IO_DEVICE;

    int64_t id = 0;
    bool created = false;
    {
        Statement find(db, "SELECT id FROM reg_key WHERE root = ?1 AND path = ?2");
        if (!find.ok()) return store_detail::errorFromSqlite(find.prepareError());
        find.bind(1, rootId);
        find.bindText(2, full);
        const int rc = find.step();
        if (rc == SQLITE_ROW) {
            id = sqlite3_column_int64(find.get(), 0);
        } else if (rc != SQLITE_DONE) {
            return store_detail::errorFromSqlite(rc);
        }
    }
    if (id == 0) {
        uint32_t error = store_detail::beginWrite();
        if (error) return error;
        Statement add(db, "INSERT INTO reg_key(root, path) VALUES(?1, ?2)");
        if (!add.ok()) {
            error = store_detail::errorFromSqlite(add.prepareError());
        } else {
            add.bind(1, rootId);
            add.bindText(2, full);
            const int rc = add.step();
            if (rc != SQLITE_DONE) error = store_detail::errorFromSqlite(rc);
        }
        if (!error) id = sqlite3_last_insert_rowid(db);
        error = store_detail::endWrite(error);
        if (error) return error;
        created = true;
    }
    const HKEY handle = nextHandle++;
    keys()[handle] = OpenKey{id, rootId, full, store_detail::generation()};
    *key = handle;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

uint32_t regQueryValue(HKEY key, const char16_t* name, uint32_t* type, uint8_t* data,
                       uint32_t* size) {
    const OpenKey* k = findKey(key);
    if (!k) return ERROR_INVALID_HANDLE;
    if (data && !size) return ERROR_INVALID_PARAMETER;
    sqlite3* db = store_detail::connection();
    Statement q(db,
                "SELECT type, rowid, CASE WHEN typeof(data) IN ('blob', 'text') THEN NULL"
                " ELSE data END FROM reg_value WHERE key = ?1 AND name = ?2");
    if (!q.ok()) return store_detail::errorFromSqlite(q.prepareError());
    q.bind(1, k->id);
    q.bindText(2, store_detail::toUtf8(name));
    const int rc = q.step();
    if (rc == SQLITE_DONE) return ERROR_FILE_NOT_FOUND;
    if (rc != SQLITE_ROW) return store_detail::errorFromSqlite(rc);

    const auto storedType = static_cast<uint32_t>(sqlite3_column_int64(q.get(), 0));
    // Only as many bytes as the caller can take are read: asking for the size of a
    // huge value costs nothing.
    std::vector<uint8_t> bytes;
    size_t total = 0;
    const size_t room = data ? *size : 0;
    if (!store_detail::readCellPrefix(db, "reg_value", "data", sqlite3_column_int64(q.get(), 1),
                                      room, bytes, total)) {
        // A number where bytes belong (a file written by something else): its text.
        const auto* cell = static_cast<const uint8_t*>(sqlite3_column_blob(q.get(), 2));
        total = static_cast<size_t>(sqlite3_column_bytes(q.get(), 2));
        bytes.assign(cell, cell + (cell ? total : 0));
        total = bytes.size();
    }
    if (total > 0xFFFFFFFFu) return ERROR_INVALID_PARAMETER;
    const auto stored = static_cast<uint32_t>(total);
    if (type) *type = storedType;
    if (!data) {
        if (size) *size = stored;
        return ERROR_SUCCESS;
    }
    if (*size < stored) {
        *size = stored;
        return ERROR_MORE_DATA;
    }
    if (stored > 0) std::memcpy(data, bytes.data(), stored);
    *size = stored;
    return ERROR_SUCCESS;
}

uint32_t regSetValue(HKEY key, const char16_t* name, uint32_t type, const uint8_t* data,
                     uint32_t size) {
    const OpenKey* k = findKey(key);
    if (!k) return ERROR_INVALID_HANDLE;
    if (!data && size > 0) return ERROR_INVALID_PARAMETER;
    const int64_t keyId = k->id;
    uint32_t error = store_detail::beginWrite();
    if (error) return error;
    Statement put(store_detail::connection(),
                  "INSERT OR REPLACE INTO reg_value(key, name, type, data) VALUES(?1,?2,?3,?4)");
    if (!put.ok()) {
        error = store_detail::errorFromSqlite(put.prepareError());
    } else {
        put.bind(1, keyId);
        put.bindText(2, store_detail::toUtf8(name));
        put.bind(3, static_cast<int64_t>(type));
        put.bindBlob(4, data, size);
        const int rc = put.step();
        if (rc != SQLITE_DONE) error = store_detail::errorFromSqlite(rc);
    }
    return store_detail::endWrite(error);
}

uint32_t regDeleteValue(HKEY key, const char16_t* name) {
    const OpenKey* k = findKey(key);
    if (!k) return ERROR_INVALID_HANDLE;
    const int64_t keyId = k->id;
    uint32_t error = store_detail::beginWrite();
    if (error) return error;
    Statement del(store_detail::connection(), "DELETE FROM reg_value WHERE key = ?1 AND name = ?2");
    if (!del.ok()) {
        error = store_detail::errorFromSqlite(del.prepareError());
    } else {
        del.bind(1, keyId);
        del.bindText(2, store_detail::toUtf8(name));
        const int rc = del.step();
        if (rc != SQLITE_DONE) error = store_detail::errorFromSqlite(rc);
        if (!error && sqlite3_changes(store_detail::connection()) == 0)
            error = ERROR_FILE_NOT_FOUND;
    }
    return store_detail::endWrite(error);
}

uint32_t regCloseKey(HKEY key) {
    auto it = keys().find(key);
    if (it == keys().end()) return ERROR_INVALID_HANDLE;
    keys().erase(it);
    return ERROR_SUCCESS;
}

}  // namespace platform
