#include "persist/hiscore_table.h"

#include <algorithm>
#include <cstring>

#include "persist/prop_list.h"
#include "platform/platform.h"
#include "platform/store/store.h"

namespace {

constexpr const char16_t* kDatabaseName = u"HISCORE";
constexpr int kPropsPerRecord = 5;
constexpr int kNameChars = 9;  // plus the terminating null

// Case-sensitive comparison of two names that end at a null or after ten characters.
int compareNames(const char16_t* a, const char16_t* b) {
    for (int i = 0; i < 10; ++i) {
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
        if (a[i] == 0) return 0;
    }
    return 0;
}

void showError(const char* text, platform::BoxIcon icon = platform::BoxIcon::Stop) {
    platform::messageBox(text, "Error", icon);
}

}  // namespace

HiScoreTable::HiScoreTable() = default;
HiScoreTable::~HiScoreTable() = default;

void HiScoreTable::BuildProps(const HiScoreRecord& r, PropList& list) {
    // The name field need not end with a null; only the first nine characters count.
    char16_t name[kNameChars + 1] = {};
    for (int i = 0; i < kNameChars && r.name[i]; ++i) name[i] = r.name[i];
    CCeDbProp p;
    p.SetBool(r.latest != 0);
    list.Insert(list.Count(), p);
    p.SetInt(r.score);
    list.Insert(list.Count(), p);
    p.SetInt(r.extra1);
    list.Insert(list.Count(), p);
    p.SetInt(r.extra2);
    list.Insert(list.Count(), p);
    p.SetString(name);
    list.Insert(list.Count(), p);
}

void HiScoreTable::WriteRecord(intptr_t db, uint32_t id, const HiScoreRecord& r) {
    PropList list;
    BuildProps(r, list);
    platform::CEPROPVAL values[kPropsPerRecord];
    for (int i = 0; i < kPropsPerRecord; ++i) {
        values[i] = list[i].prop;
        values[i].propid = platform::makePropId(static_cast<uint16_t>(i), list[i].type());
    }
    if (!platform::ceWriteRecordProps(db, id, kPropsPerRecord, values))
        ReportWriteError(platform::getLastError());
}

void HiScoreTable::ReportWriteError(uint32_t error) {
    if (error == platform::ERROR_INVALID_PARAMETER) {
        showError("Invalid parameter!", platform::BoxIcon::None);
    } else if (error != platform::ERROR_SUCCESS) {
        // A full disk and every other reason the store refused the record: the score is
        // not kept either way, and the player should hear of it.
        showError("Disk is full!", platform::BoxIcon::None);
    }
}

void HiScoreTable::ReportOpenError(uint32_t error) {
    switch (error) {
        case platform::ERROR_FILE_NOT_FOUND:
            showError("No database exists with the specified name.");
            break;
        case platform::ERROR_NOT_ENOUGH_MEMORY:
            showError("No memory was available to allocate a database handle.");
            break;
        case platform::ERROR_INVALID_PARAMETER:
            showError("A parameter was invalid.");
            break;
        default:
            break;
    }
}

void HiScoreTable::CreateDatabase() {
    std::fill(std::begin(volumeId), std::end(volumeId), 0u);
    platform::ceCreateDatabase(kDatabaseName, kDatabaseType);
    const uint32_t created = platform::getLastError();
    if (created == platform::ERROR_DISK_FULL || created == platform::ERROR_INVALID_PARAMETER) {
        showError("Unable to create HiScore database!");
        return;
    }
    if (created == platform::ERROR_DUP_NAME) return;

    ClearAll();
    const platform::DbHandle db = platform::ceOpenDatabase(kDatabaseName);
    if (db == platform::INVALID_DB_HANDLE) {
        ReportOpenError(platform::getLastError());
        return;
    }
    // The ten empty records appear together or not at all.
    platform::StoreTransaction transaction;
    for (const HiScoreRecord& r : records) WriteRecord(db, 0, r);
    if (transaction.commit() != platform::ERROR_SUCCESS)
        showError("Unable to create HiScore database!");
    platform::ceCloseHandle(db);
}

void HiScoreTable::Load() {
    const platform::DbHandle db = platform::ceOpenDatabase(kDatabaseName);
    if (db == platform::INVALID_DB_HANDLE) return;
    int32_t last = -1;
    platform::ceSeekDatabase(db, platform::CEDB_SEEK_END, 0, &last);
    if (last < 0) {
        platform::ceCloseHandle(db);
        return;
    }
    platform::ceSeekDatabase(db, platform::CEDB_SEEK_BEGINNING, 0, nullptr);
    const int stored = std::min<int32_t>(last + 1, kRecords);
    for (int i = 0; i < stored; ++i) {
        uint16_t count = 0;
        platform::CEPROPVAL* props = nullptr;
        if (!platform::ceReadRecordProps(db, &count, &props)) break;
        HiScoreRecord& r = records[i];
        for (int j = 0; j < count; ++j) {
            const platform::CEPROPVAL& p = props[j];
            switch (platform::typeFromPropId(p.propid)) {
                case platform::CEVT_I4:
                    if (j == 1) r.score = p.val.lVal;
                    if (j == 2) r.extra1 = p.val.lVal;
                    if (j == 3) r.extra2 = p.val.lVal;
                    break;
                case platform::CEVT_BOOL:
                    r.latest = p.val.boolVal != 0;
                    break;
                case platform::CEVT_LPWSTR: {
                    // Stored text may be anything: cut it to the field.
                    std::fill(std::begin(r.name), std::end(r.name), u'\0');
                    for (int c = 0; c < kNameChars && p.val.lpwstr && p.val.lpwstr[c]; ++c)
                        r.name[c] = p.val.lpwstr[c];
                    break;
                }
                default:
                    break;
            }
        }
        platform::localFree(props);
        platform::ceSeekDatabase(db, platform::CEDB_SEEK_CURRENT, 1, nullptr);
    }
    platform::ceCloseHandle(db);
}

void HiScoreTable::Save() {
    const platform::DbHandle db = platform::ceOpenDatabase(kDatabaseName);
    if (db == platform::INVALID_DB_HANDLE) {
        ReportOpenError(platform::getLastError());
        return;
    }
    platform::StoreTransaction transaction;
    platform::CEOID id = platform::ceSeekDatabase(db, platform::CEDB_SEEK_BEGINNING, 0, nullptr);
    for (const HiScoreRecord& r : records) {
        WriteRecord(db, id, r);
        id = platform::ceSeekDatabase(db, platform::CEDB_SEEK_CURRENT, 1, nullptr);
    }
    const uint32_t committed = transaction.commit();
    // Single writes that failed have been reported already; this is the whole save lost.
    if (committed != platform::ERROR_SUCCESS) ReportWriteError(committed);
    platform::ceCloseHandle(db);
}

void HiScoreTable::ClearAll() {
    for (HiScoreRecord& r : records) r = HiScoreRecord{};
}

int HiScoreTable::CountFilled() const {
    for (int i = 0; i < kRecords; ++i)
        if (records[i].empty()) return i;
    return kRecords;
}

void HiScoreTable::Sort() {
    for (int i = 0; i < kRecords - 1; ++i) {
        for (int j = i + 1; j < kRecords; ++j) {
            const HiScoreRecord& a = records[i];
            const HiScoreRecord& b = records[j];
            const bool keep =
                a.score > b.score || (a.score == b.score && compareNames(a.name, b.name) < 0);
            if (!keep) std::swap(records[i], records[j]);
        }
    }
}

bool HiScoreTable::GetRecord(int index, HiScoreRecord& out) const {
    if (index < 0 || index >= kRecords) {
        showError("This Number of record is bigger than is permitted");
        return false;
    }
    out = records[index];
    return true;
}

bool HiScoreTable::Insert(const HiScoreRecord& r) {
    const int n = CountFilled();
    for (int i = 0; i < n; ++i) records[i].latest = 0;
    if (n < kRecords) {
        if (r.score == 0) return false;
        records[n] = r;
        return true;
    }
    Sort();
    const HiScoreRecord& worst = records[kRecords - 1];
    if (worst.score < r.score ||
        (worst.score == r.score && compareNames(worst.name, r.name) >= 0)) {
        records[kRecords - 1] = r;
        return true;
    }
    return false;
}
