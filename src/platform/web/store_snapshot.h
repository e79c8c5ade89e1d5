// The whole store of the browser backend as one value: the registry's keys and typed
// values and the property databases with their records, in memory, and its encoding as
// one string that the page's storage keeps. The browser writes that string whole, so a
// save is either there completely or not at all.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform::web {

struct StoredProp {
    uint32_t propid = 0;
    int64_t number = 0;   // the integer types
    double real = 0;      // CEVT_R8
    std::u16string text;  // CEVT_LPWSTR
};

struct StoredRecord {
    uint32_t id = 0;
    std::vector<StoredProp> props;  // in the order they were first written
};

struct StoredDatabase {
    uint32_t id = 0;
    std::string name;
    uint32_t type = 0;
    std::vector<StoredRecord> records;  // in the order they were made
};

struct StoredValue {
    std::string name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

struct StoredKey {
    int64_t id = 0;
    int64_t root = 0;
    std::string path;
    std::map<std::string, StoredValue> values;  // by folded name
};

struct StoreSnapshot {
    std::map<std::pair<int64_t, std::string>, StoredKey> keys;  // by root and folded path
    std::vector<StoredDatabase> databases;
    int64_t nextKeyId = 1;
    uint32_t nextDatabaseId = 1;
    uint32_t nextRecordId = 1;  // never handed out twice, like the desktop's record ids

    StoredKey* keyById(int64_t id);
    StoredDatabase* databaseById(uint32_t id);
    StoredDatabase* databaseByName(const std::string& name);
};

// Names are found regardless of the case of their ASCII letters, as on the desktop.
std::string foldCase(const std::string& s);

// The snapshot as printable text (a versioned, checksummed binary encoding in base64),
// and back. Decoding answers nothing for text that is damaged in any way.
std::string encodeSnapshot(const StoreSnapshot& snapshot);
std::optional<StoreSnapshot> decodeSnapshot(const std::string& text);

}  // namespace platform::web
