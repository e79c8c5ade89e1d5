#include "persist/hiscore_table.h"

#include <algorithm>
#include <cstring>

#include "persist/hiscore_merge.h"
#include "persist/prop_list.h"
#include "persist/save_failure.h"
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

HiScoreTable::HiScoreTable() : seen_{} {}
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

uint32_t HiScoreTable::WriteRecord(intptr_t db, uint32_t id, const HiScoreRecord& r) {
    PropList list;
    BuildProps(r, list);
    platform::CEPROPVAL values[kPropsPerRecord];
    for (int i = 0; i < kPropsPerRecord; ++i) {
        values[i] = list[i].prop;
        values[i].propid = platform::makePropId(static_cast<uint16_t>(i), list[i].type());
    }
    if (platform::ceWriteRecordProps(db, id, kPropsPerRecord, values)) return 0;
    const uint32_t error = platform::getLastError();
    return error ? error : platform::ERROR_IO_DEVICE;
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
        case platform::ERROR_SUCCESS:
            break;
        default:
            // A store that another program holds, say: the scores are not saved, and the
            // player hears of it.
            showError(saveFailureText("The score table", error).c_str());
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
    // The ten empty records appear together or not at all, and a failure is told once.
    platform::StoreTransaction transaction;
    uint32_t error = 0;
    for (const HiScoreRecord& r : records) {
        const uint32_t e = WriteRecord(db, 0, r);
        if (!error) error = e;
    }
    const uint32_t committed = transaction.commit();
    if (committed != platform::ERROR_SUCCESS)
        showError("Unable to create HiScore database!");
    else if (error)
        showError(saveFailureText("The score table", error).c_str(), platform::BoxIcon::None);
    else
        std::copy(std::begin(records), std::end(records), std::begin(seen_));
    platform::ceCloseHandle(db);
}

void HiScoreTable::ReadRecords(intptr_t db, Records& out) {
    int32_t last = -1;
    platform::ceSeekDatabase(db, platform::CEDB_SEEK_END, 0, &last);
    if (last < 0) return;
    platform::ceSeekDatabase(db, platform::CEDB_SEEK_BEGINNING, 0, nullptr);
    const int stored = std::min<int32_t>(last + 1, kRecords);
    for (int i = 0; i < stored; ++i) {
        uint16_t count = 0;
        platform::CEPROPVAL* props = nullptr;
        if (!platform::ceReadRecordProps(db, &count, &props)) break;
        HiScoreRecord& r = out[i];
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
}

void HiScoreTable::Load() {
    const platform::DbHandle db = platform::ceOpenDatabase(kDatabaseName);
    if (db == platform::INVALID_DB_HANDLE) return;
    ReadRecords(db, records);
    std::copy(std::begin(records), std::end(records), std::begin(seen_));
    platform::ceCloseHandle(db);
}

uint32_t HiScoreTable::Write(Records& written) {
    const platform::DbHandle db = platform::ceOpenDatabase(kDatabaseName);
    if (db == platform::INVALID_DB_HANDLE) {
        const uint32_t error = platform::getLastError();
        return error ? error : platform::ERROR_IO_DEVICE;
    }
    // Read inside the caller's transaction: nobody can save between this look and our
    // writes.
    Records stored{};
    ReadRecords(db, stored);
    mergeScores(records, seen_, stored, written);
    uint32_t error = 0;
    platform::CEOID id = platform::ceSeekDatabase(db, platform::CEDB_SEEK_BEGINNING, 0, nullptr);
    for (const HiScoreRecord& r : written) {
        const uint32_t e = WriteRecord(db, id, r);
        if (!error) error = e;
        id = platform::ceSeekDatabase(db, platform::CEDB_SEEK_CURRENT, 1, nullptr);
    }
    platform::ceCloseHandle(db);
    return error;
}

void HiScoreTable::Adopt(const Records& written) {
    std::copy(std::begin(written), std::end(written), std::begin(records));
    // Remembered as the store holds it: names of at most nine characters.
    std::copy(std::begin(written), std::end(written), std::begin(seen_));
    for (HiScoreRecord& r : seen_) r.name[kNameChars] = 0;
}

void HiScoreTable::Save() {
    const platform::DbHandle probe = platform::ceOpenDatabase(kDatabaseName);
    if (probe == platform::INVALID_DB_HANDLE) {
        ReportOpenError(platform::getLastError());
        return;
    }
    platform::ceCloseHandle(probe);
    platform::StoreTransaction transaction;
    Records written;
    const uint32_t error = Write(written);
    const uint32_t committed = transaction.commit();
    if (committed == platform::ERROR_SUCCESS) Adopt(written);
    // One box for the whole save, naming the first thing that went wrong.
    const uint32_t first = committed ? committed : error;
    if (first)
        showError(saveFailureText("The score table", first).c_str(), platform::BoxIcon::None);
}

void HiScoreTable::ClearAll() {
    for (HiScoreRecord& r : records) r = HiScoreRecord{};
}

int HiScoreTable::CountFilled() const {
    for (int i = 0; i < kRecords; ++i)
        if (records[i].empty()) return i;
    return kRecords;
}

bool HiScoreTable::ListedBefore(const HiScoreRecord& a, const HiScoreRecord& b) {
    return a.score > b.score || (a.score == b.score && compareNames(a.name, b.name) < 0);
}

void HiScoreTable::Sort() {
    for (int i = 0; i < kRecords - 1; ++i)
        for (int j = i + 1; j < kRecords; ++j)
            if (!ListedBefore(records[i], records[j])) std::swap(records[i], records[j]);
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
