// The registry and property-database stand-ins of the browser: the whole store is one
// snapshot in memory, written whole into the page's storage (localStorage) after every
// write that is not inside a transaction and at the outermost commit. A write that
// cannot be kept (the storage is full) is undone in memory too, so that what the game
// sees is what a reload finds.
//
// A stored snapshot that does not decode is kept under a ".broken-<time>" name and a
// fresh store started; a page that gives no storage at all goes on with a store in
// memory. Either is told once through takeStoreNotice(), as the desktop's store tells
// what it found in its file.
#include <emscripten.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "platform/store/store.h"
#include "platform/store/store_rules.h"
#include "platform/web/store_snapshot.h"

namespace platform {
namespace {

using store_rules::knownType;
using store_rules::normalisePath;
using store_rules::toUtf8;
using store_rules::validName;

using web::StoredDatabase;
using web::StoredKey;
using web::StoredProp;
using web::StoredRecord;
using web::StoreSnapshot;

// clang-format off
// The page's storage, or a map of its own where there is none (node runs the tests;
// they make that map full or refused through trStorageFull and trStorageRefused).
EM_JS(char*, tr_storage_get, (const char* name, int* available), {
    const key = UTF8ToString(name);
    let text = null;
    try {
        if (typeof localStorage === "undefined") {
            if (globalThis.trStorageRefused) throw new Error("no storage");
            const m = globalThis.trStorage || (globalThis.trStorage = new Map());
            text = m.has(key) ? m.get(key) : null;
        } else {
            text = localStorage.getItem(key);
        }
    } catch (e) {
        HEAP32[available >> 2] = 0;
        return 0;
    }
    HEAP32[available >> 2] = 1;
    if (text === null) return 0;
    const bytes = lengthBytesUTF8(text) + 1;
    const out = _malloc(bytes);
    stringToUTF8(text, out, bytes);
    return out;
});

EM_JS(int, tr_storage_set, (const char* name, const char* text), {
    const key = UTF8ToString(name);
    try {
        if (typeof localStorage === "undefined") {
            const m = globalThis.trStorage || (globalThis.trStorage = new Map());
            if (globalThis.trStorageFull) return 0;
            if (text) m.set(key, UTF8ToString(text)); else m.delete(key);
        } else if (text) {
            localStorage.setItem(key, UTF8ToString(text));
        } else {
            localStorage.removeItem(key);
        }
        return 1;
    } catch (e) {
        return 0;
    }
});
// clang-format on

struct OpenKey {
    int64_t id;
    uint64_t generation;
};

struct OpenDb {
    uint32_t id;
    int64_t position;  // may be past the last record
    uint64_t generation;
};

struct State {
    std::string dir;
    bool open = false;
    bool persistent = false;
    std::string notice;       // what opening found, until it is taken
    StoreSnapshot live;       // what the game sees
    StoreSnapshot committed;  // what the page's storage holds
    StoreSnapshot undo;       // the state before the write in progress
    uint64_t generation = 1;
    int depth = 0;
    uint32_t batchError = 0;
    int failCount = 0;
    uint32_t failError = 0;
    std::map<HKEY, OpenKey> keys;
    HKEY nextKey = 0x1000;
    std::map<DbHandle, OpenDb> dbs;
    DbHandle nextDb = 0x100;
};

State& state() {
    static State s;
    return s;
}

uint32_t lastError = 0;

std::string storageName() {
    const std::string& dir = state().dir;
    return dir.empty() ? "tallreed.store" : "tallreed.store@" + dir;
}

void openStore() {
    State& st = state();
    if (st.open) return;
    st.open = true;
    st.live = StoreSnapshot{};
    const std::string name = storageName();
    int available = 0;
    char* text = tr_storage_get(name.c_str(), &available);
    st.persistent = available != 0;
    if (!st.persistent) {
        st.notice =
            "This browser gives the page no storage (private browsing, or storage turned off "
            "for this site). The game starts with default settings and nothing of this run "
            "will be kept.";
    } else if (text != nullptr) {
        if (std::optional<StoreSnapshot> s = web::decodeSnapshot(text)) {
            st.live = std::move(*s);
        } else {
            // Never over an earlier one: a name of its own for every damaged store.
            const std::string stem =
                name + ".broken-" + std::to_string(static_cast<long long>(std::time(nullptr)));
            std::string aside = stem;
            for (int n = 2;; ++n) {
                int ignored = 0;
                char* earlier = tr_storage_get(aside.c_str(), &ignored);
                if (earlier == nullptr) break;
                std::free(earlier);
                aside = stem + "-" + std::to_string(n);
            }
            tr_storage_set(aside.c_str(), text);
            tr_storage_set(name.c_str(), nullptr);
            st.notice =
                "The settings and scores stored by this browser could not be read. "
                "They were kept aside as " +
                aside +
                " and the game starts with default settings and an empty score "
                "table.";
        }
    }
    std::free(text);
    st.committed = st.live;
}

// The snapshot written whole; false when the page's storage refused it.
bool persist() {
    State& st = state();
    if (!st.persistent) return true;
    const std::string text = web::encodeSnapshot(st.live);
    return tr_storage_set(storageName().c_str(), text.c_str()) != 0;
}

uint32_t beginWrite() {
    State& st = state();
    openStore();
    if (st.failCount > 0) {
        --st.failCount;
        return st.failError;
    }
    if (st.depth > 0 && st.batchError) return st.batchError;
    st.undo = st.live;
    return ERROR_SUCCESS;
}

uint32_t endWrite(uint32_t error) {
    State& st = state();
    if (!error && st.depth == 0) {
        if (persist())
            st.committed = st.live;
        else
            error = ERROR_DISK_FULL;
    }
    if (error) st.live = st.undo;
    return error;
}

StoredKey* findKey(HKEY key) {
    State& st = state();
    auto it = st.keys.find(key);
    if (it == st.keys.end() || it->second.generation != st.generation) return nullptr;
    openStore();
    return st.live.keyById(it->second.id);
}

StoredDatabase* findDb(DbHandle h, OpenDb** handle = nullptr) {
    State& st = state();
    auto it = st.dbs.find(h);
    if (it == st.dbs.end() || it->second.generation != st.generation) return nullptr;
    openStore();
    if (handle) *handle = &it->second;
    return st.live.databaseById(it->second.id);
}

// The characters of a stored string that a reader gets: it sees a C string, which ends
// at the first null, and never more than the handheld's largest property (65472 bytes).
size_t readLength(const std::u16string& text) {
    constexpr size_t kMaxChars = 65472 / sizeof(char16_t);
    return std::min({text.size(), text.find(u'\0'), kMaxChars});
}

StoredProp toStored(const CEPROPVAL& p) {
    StoredProp s;
    s.propid = p.propid;
    switch (typeFromPropId(p.propid)) {
        case CEVT_I2:
            s.number = p.val.iVal;
            break;
        case CEVT_UI2:
            s.number = p.val.uiVal;
            break;
        case CEVT_BOOL:
            s.number = p.val.boolVal;
            break;
        case CEVT_I4:
            s.number = p.val.lVal;
            break;
        case CEVT_UI4:
            s.number = p.val.ulVal;
            break;
        case CEVT_R8:
            s.real = p.val.dblVal;
            break;
        case CEVT_LPWSTR:
            s.text = p.val.lpwstr;
            break;
        default:
            break;
    }
    return s;
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
    return "browser storage: " + storageName();
}

void closeStore() {
    State& st = state();
    // Whatever a transaction left uncommitted is gone, as after a crash.
    st.open = false;
    st.notice.clear();
    st.depth = 0;
    st.batchError = 0;
    st.keys.clear();
    st.dbs.clear();
    ++st.generation;
}

std::string takeStoreNotice() {
    openStore();
    return std::exchange(state().notice, std::string());
}

bool storeIsPersistent() {
    openStore();
    return state().persistent;
}

void setStoreBusyTimeout(int /*ms*/) {
    // One page owns the store (the single-instance lock): nobody else holds it busy.
}

void failNextStoreWrites(int count, uint32_t error) {
    state().failCount = count < 0 ? 0 : count;
    state().failError = error;
}

uint32_t beginStoreTransaction() {
    State& st = state();
    openStore();
    if (st.depth++ > 0) return st.batchError;
    st.batchError = ERROR_SUCCESS;
    return ERROR_SUCCESS;
}

uint32_t commitStoreTransaction() {
    State& st = state();
    if (st.depth == 0) return ERROR_INVALID_PARAMETER;
    if (--st.depth > 0) return st.batchError;
    uint32_t error = st.batchError;
    if (!error && !persist()) error = ERROR_DISK_FULL;
    if (error)
        st.live = st.committed;
    else
        st.committed = st.live;
    st.batchError = ERROR_SUCCESS;
    return error;
}

// ---------------------------------------------------------------------------
// Registry.

uint32_t regCreateKey(HKEY root, const char16_t* path, HKEY* key, uint32_t* disposition) {
    if (!key) return ERROR_INVALID_PARAMETER;
    *key = 0;
    State& st = state();
    std::string full = normalisePath(toUtf8(path));
    int64_t rootId = static_cast<int64_t>(static_cast<uint32_t>(root));
    if (root != HKEY_CURRENT_USER) {
        const StoredKey* parent = findKey(root);
        if (!parent) return ERROR_INVALID_HANDLE;
        rootId = parent->root;
        full = normalisePath(parent->path + "\\" + full);
    }
    openStore();
    const auto where = std::make_pair(rootId, web::foldCase(full));
    auto found = st.live.keys.find(where);
    bool created = false;
    int64_t id = 0;
    if (found != st.live.keys.end()) {
        id = found->second.id;
    } else {
        const uint32_t error = beginWrite();
        if (error) return error;
        id = st.live.nextKeyId++;
        st.live.keys[where] = StoredKey{id, rootId, full, {}};
        if (const uint32_t e = endWrite(ERROR_SUCCESS)) return e;
        created = true;
    }
    const HKEY handle = st.nextKey++;
    st.keys[handle] = OpenKey{id, st.generation};
    *key = handle;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

uint32_t regQueryValue(HKEY key, const char16_t* name, uint32_t* type, uint8_t* data,
                       uint32_t* size) {
    const StoredKey* k = findKey(key);
    if (!k) return ERROR_INVALID_HANDLE;
    if (data && !size) return ERROR_INVALID_PARAMETER;
    auto it = k->values.find(web::foldCase(toUtf8(name)));
    if (it == k->values.end()) return ERROR_FILE_NOT_FOUND;
    const auto stored = static_cast<uint32_t>(it->second.data.size());
    if (type) *type = it->second.type;
    if (!data) {
        if (size) *size = stored;
        return ERROR_SUCCESS;
    }
    if (*size < stored) {
        *size = stored;
        return ERROR_MORE_DATA;
    }
    if (stored > 0) std::memcpy(data, it->second.data.data(), stored);
    *size = stored;
    return ERROR_SUCCESS;
}

uint32_t regSetValue(HKEY key, const char16_t* name, uint32_t type, const uint8_t* data,
                     uint32_t size) {
    if (!findKey(key)) return ERROR_INVALID_HANDLE;
    if (!data && size > 0) return ERROR_INVALID_PARAMETER;
    const uint32_t error = beginWrite();
    if (error) return error;
    StoredKey* k = findKey(key);  // the write may have reopened nothing, but look again
    const std::string n = toUtf8(name);
    k->values[web::foldCase(n)] =
        web::StoredValue{n, type, std::vector<uint8_t>(data, data + size)};
    return endWrite(ERROR_SUCCESS);
}

uint32_t regDeleteValue(HKEY key, const char16_t* name) {
    if (!findKey(key)) return ERROR_INVALID_HANDLE;
    uint32_t error = beginWrite();
    if (error) return error;
    if (findKey(key)->values.erase(web::foldCase(toUtf8(name))) == 0) error = ERROR_FILE_NOT_FOUND;
    return endWrite(error);
}

uint32_t regCloseKey(HKEY key) {
    State& st = state();
    auto it = st.keys.find(key);
    if (it == st.keys.end()) return ERROR_INVALID_HANDLE;
    st.keys.erase(it);
    return ERROR_SUCCESS;
}

// ---------------------------------------------------------------------------
// Property databases.

CEOID ceCreateDatabase(const char16_t* name, uint32_t type) {
    if (!validName(name)) {
        setLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    State& st = state();
    openStore();
    const std::string n = toUtf8(name);
    if (st.live.databaseByName(n)) {
        setLastError(ERROR_DUP_NAME);
        return 0;
    }
    uint32_t error = beginWrite();
    CEOID id = 0;
    if (!error) {
        id = st.live.nextDatabaseId++;
        st.live.databases.push_back(StoredDatabase{id, n, type, {}});
        error = endWrite(ERROR_SUCCESS);
    }
    setLastError(error);
    return error ? 0 : id;
}

DbHandle ceOpenDatabase(const char16_t* name) {
    State& st = state();
    openStore();
    const StoredDatabase* d = validName(name) ? st.live.databaseByName(toUtf8(name)) : nullptr;
    if (!d) {
        setLastError(validName(name) ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return INVALID_DB_HANDLE;
    }
    const DbHandle h = st.nextDb++;
    st.dbs[h] = OpenDb{d->id, 0, st.generation};
    setLastError(ERROR_SUCCESS);
    return h;
}

CEOID ceSeekDatabase(DbHandle h, uint32_t how, int32_t value, int32_t* index) {
    if (index) *index = -1;
    OpenDb* handle = nullptr;
    const StoredDatabase* d = findDb(h, &handle);
    if (!d) {
        setLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const auto count = static_cast<int64_t>(d->records.size());
    int64_t target;
    switch (how) {
        case CEDB_SEEK_BEGINNING:
            target = value;
            break;
        case CEDB_SEEK_CURRENT:
            target = handle->position + value;
            break;
        case CEDB_SEEK_END:
            target = count - 1 - value;
            break;
        default:
            setLastError(ERROR_INVALID_PARAMETER);
            return 0;
    }
    if (target < 0) {
        setLastError(ERROR_NO_MORE_ITEMS);
        return 0;
    }
    handle->position = target;
    if (target >= count) {
        setLastError(ERROR_NO_MORE_ITEMS);
        return 0;
    }
    if (index) *index = static_cast<int32_t>(target);
    setLastError(ERROR_SUCCESS);
    return d->records[static_cast<size_t>(target)].id;
}

CEOID ceReadRecordProps(DbHandle h, uint16_t* count, CEPROPVAL** buffer) {
    if (count) *count = 0;
    if (buffer) *buffer = nullptr;
    OpenDb* handle = nullptr;
    const StoredDatabase* d = findDb(h, &handle);
    if (!d || !count || !buffer) {
        setLastError(d ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return 0;
    }
    if (handle->position >= static_cast<int64_t>(d->records.size())) {
        setLastError(ERROR_NO_MORE_ITEMS);
        return 0;
    }
    const StoredRecord& rec = d->records[static_cast<size_t>(handle->position)];
    const size_t n = std::min<size_t>(rec.props.size(), 0xFFFF);
    // One block: the values, then the strings they point to.
    size_t bytes = n * sizeof(CEPROPVAL);
    for (size_t i = 0; i < n; ++i)
        if (typeFromPropId(rec.props[i].propid) == CEVT_LPWSTR)
            bytes += (readLength(rec.props[i].text) + 1) * sizeof(char16_t);
    auto* block = static_cast<uint8_t*>(std::malloc(bytes ? bytes : 1));
    if (!block) {
        setLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    auto* values = reinterpret_cast<CEPROPVAL*>(block);
    auto* text = reinterpret_cast<char16_t*>(block + n * sizeof(CEPROPVAL));
    for (size_t i = 0; i < n; ++i) {
        const StoredProp& p = rec.props[i];
        values[i] = CEPROPVAL{p.propid, 0, 0, {}};
        switch (typeFromPropId(p.propid)) {
            case CEVT_I2:
            case CEVT_UI2:
            case CEVT_BOOL:
                values[i].val.uiVal = static_cast<uint16_t>(p.number);
                break;
            case CEVT_I4:
            case CEVT_UI4:
                values[i].val.ulVal = static_cast<uint32_t>(p.number);
                break;
            case CEVT_R8:
                values[i].val.dblVal = p.real;
                break;
            case CEVT_LPWSTR: {
                const size_t len = readLength(p.text);
                std::memcpy(text, p.text.data(), len * sizeof(char16_t));
                text[len] = 0;
                values[i].val.lpwstr = text;
                text += len + 1;
                break;
            }
            default:
                break;
        }
    }
    *count = static_cast<uint16_t>(n);
    *buffer = values;
    setLastError(ERROR_SUCCESS);
    return rec.id;
}

void localFree(void* buffer) {
    std::free(buffer);
}

CEOID ceWriteRecordProps(DbHandle h, CEOID record, uint16_t count, const CEPROPVAL* props) {
    if (!findDb(h)) {
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
    uint32_t error = beginWrite();
    if (error) {
        setLastError(error);
        return 0;
    }
    State& st = state();
    StoredDatabase* d = findDb(h);
    StoredRecord* rec = nullptr;
    if (record == 0) {
        if (st.live.nextRecordId == 0) {
            error = ERROR_DISK_FULL;  // every id has been used
        } else {
            d->records.push_back(StoredRecord{st.live.nextRecordId++, {}});
            rec = &d->records.back();
        }
    } else {
        for (StoredRecord& r : d->records)
            if (r.id == record) rec = &r;
        if (!rec) error = ERROR_INVALID_PARAMETER;
    }
    for (uint16_t i = 0; !error && i < count; ++i) {
        auto it = rec->props.begin();
        while (it != rec->props.end() && it->propid != props[i].propid) ++it;
        if (props[i].wFlags & CEDB_PROPDELETE) {
            if (it != rec->props.end()) rec->props.erase(it);
        } else if (it != rec->props.end()) {
            *it = toStored(props[i]);  // a replaced property keeps its place
        } else {
            rec->props.push_back(toStored(props[i]));
        }
    }
    const CEOID id = rec ? rec->id : 0;
    error = endWrite(error);
    setLastError(error);
    return error ? 0 : id;
}

bool ceCloseHandle(DbHandle h) {
    State& st = state();
    auto it = st.dbs.find(h);
    if (it == st.dbs.end()) {
        setLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    st.dbs.erase(it);
    setLastError(ERROR_SUCCESS);
    return true;
}

bool ceDeleteDatabase(const char16_t* name) {
    if (!validName(name)) {
        setLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    State& st = state();
    uint32_t error = beginWrite();
    if (!error) {
        const StoredDatabase* d = st.live.databaseByName(toUtf8(name));
        if (d) {
            st.live.databases.erase(st.live.databases.begin() + (d - st.live.databases.data()));
        } else {
            error = ERROR_FILE_NOT_FOUND;
        }
        error = endWrite(error);
    }
    setLastError(error);
    return error == 0;
}

}  // namespace platform
