// The store as every backend provides it: keys and values, databases and records,
// transactions. What only the file-based store does lives in store_file_test.cpp.
#include "platform/store/store.h"

#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "../persist/store_fixture.h"

namespace {

using namespace platform;

using StoreTest = StoreFixture;

TEST_F(StoreTest, KeysAreCreatedOnceAndFoundByAnySpellingOfTheirPath) {
    // In order: a path, and whether it names a key not made before.
    const std::pair<const char16_t*, bool> paths[] = {
        {u"Quenmoor\\Tallreed", true},
        {u"Quenmoor\\Tallreed", false},
        {u"quenmoor\\TALLREED\\", false},
        {u"\\Quenmoor\\\\Tallreed", false},
        {u"Quenmoor", true},
        {u"QuenmoorTallreed", true},
        {u"Quenmoor\\Tall\\reed", true},
        {u"\\\\quenmoor\\tall\\\\reed\\", false},
    };
    for (size_t i = 0; i < std::size(paths); ++i)
        EXPECT_EQ(createKey(paths[i].first),
                  paths[i].second ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY)
            << i;
    // Below an open key: the parent's path, then the part.
    HKEY parent = 0, child = 0;
    uint32_t disposition = 0;
    ASSERT_EQ(regCreateKey(HKEY_CURRENT_USER, u"Quenmoor\\", &parent, nullptr), 0u);
    ASSERT_EQ(regCreateKey(parent, u"\\Tall\\reed", &child, &disposition), 0u);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    regCloseKey(child);
    regCloseKey(parent);
    restart();
    EXPECT_EQ(createKey(u"Quenmoor\\Tallreed"), REG_OPENED_EXISTING_KEY);
}

TEST_F(StoreTest, QueryingAValueFollowsTheSizeRules) {
    HKEY k = openKey();
    const uint8_t text[] = {'H', 0, 'I', 0, 0, 0};
    ASSERT_EQ(regSetValue(k, u"Name", REG_SZ, text, sizeof text), 0u);
    uint32_t type = 0;
    auto query = [&](const char16_t* name, uint8_t* buf, uint32_t size) {
        const uint32_t e = regQueryValue(k, name, &type, buf, &size);
        return std::pair(e, size);
    };
    EXPECT_EQ(query(u"Name", nullptr, 0), std::pair(0u, 6u));  // size only
    EXPECT_EQ(type, REG_SZ);
    uint8_t small[4] = {9, 9, 9, 9}, big[16] = {};
    EXPECT_EQ(query(u"Name", small, 4), std::pair(ERROR_MORE_DATA, 6u));
    EXPECT_EQ(small[0], 9);  // nothing half-copied
    EXPECT_EQ(query(u"Name", big, 16), std::pair(0u, 6u));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(big), 6), std::string("H\0I\0\0\0", 6));
    EXPECT_EQ(query(u"Missing", big, 16).first, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(regQueryValue(k, u"Name", &type, big, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(regDeleteValue(k, u"Name"), 0u);
    EXPECT_EQ(regDeleteValue(k, u"Name"), ERROR_FILE_NOT_FOUND);
    regCloseKey(k);
    EXPECT_EQ(query(u"Name", big, 16).first, ERROR_INVALID_HANDLE);
    EXPECT_EQ(regSetValue(k, u"Name", REG_DWORD, big, 4), ERROR_INVALID_HANDLE);
    k = openKey();
    restart();  // handles of an earlier run are not valid any more
    EXPECT_EQ(regSetValue(k, u"Name", REG_DWORD, big, 4), ERROR_INVALID_HANDLE);
}

TEST_F(StoreTest, DatabasesAreNamedOnceAndOpenedByName) {
    EXPECT_NE(ceCreateDatabase(u"HISCORE", 7), 0u);
    const std::u16string tooLong(32, u'D');
    const std::pair<const char16_t*, uint32_t> refused[] = {
        {u"hiscore", ERROR_DUP_NAME},
        {nullptr, ERROR_INVALID_PARAMETER},
        {u"", ERROR_INVALID_PARAMETER},
        {tooLong.c_str(), ERROR_INVALID_PARAMETER}};
    for (const auto& [name, error] : refused) {
        EXPECT_EQ(ceCreateDatabase(name, 7), 0u);
        EXPECT_EQ(getLastError(), error);
    }
    EXPECT_EQ(ceOpenDatabase(u"OTHER"), INVALID_DB_HANDLE);
    EXPECT_EQ(getLastError(), ERROR_FILE_NOT_FOUND);
    // A name no database can have is refused as such, not as a missing database.
    for (const auto& [name, error] : refused) {
        if (error != ERROR_INVALID_PARAMETER) continue;
        ceOpenDatabase(u"OTHER");  // "not found" is the last error now
        EXPECT_EQ(ceOpenDatabase(name), INVALID_DB_HANDLE);
        EXPECT_EQ(getLastError(), ERROR_INVALID_PARAMETER);
    }
    const DbHandle db = ceOpenDatabase(u"HISCORE");
    ASSERT_NE(db, INVALID_DB_HANDLE);
    EXPECT_EQ(ceSeekDatabase(db, CEDB_SEEK_END, 0, nullptr), 0u);
    EXPECT_EQ(storedRecords(u"HISCORE"), 0);
    EXPECT_TRUE(ceCloseHandle(db));
    EXPECT_FALSE(ceCloseHandle(db));
    EXPECT_EQ(ceSeekDatabase(db, CEDB_SEEK_BEGINNING, 0, nullptr), 0u);
    EXPECT_EQ(getLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(StoreTest, SeekingWalksTheRecordsInTheOrderTheyWereMade) {
    const DbHandle db = createAndOpen(u"DB");
    CEOID ids[4] = {0};  // ids[i + 1] is record i; ids[0] stands for none
    for (int i = 1; i <= 3; ++i) {
        const CEPROPVAL p = prop(0, CEVT_I4, {.lVal = i});
        ASSERT_NE(ids[i] = ceWriteRecordProps(db, 0, 1, &p), 0u);
    }
    const int32_t steps[][3] = {
        {CEDB_SEEK_END, 0, 2},
        {CEDB_SEEK_BEGINNING, 0, 0},
        {CEDB_SEEK_CURRENT, 1, 1},
        {CEDB_SEEK_END, 2, 0},
        {CEDB_SEEK_CURRENT, 2, 2},
        {CEDB_SEEK_CURRENT, 1, -1},
        {CEDB_SEEK_BEGINNING, 3, -1},
        {CEDB_SEEK_END, 3, -1},
        {CEDB_SEEK_BEGINNING, 1, 1},
        {CEDB_SEEK_CURRENT, -1, 0},
        {CEDB_SEEK_CURRENT, -1, -1},
        {CEDB_SEEK_CURRENT, 0, 0},
        {99, 0, -1},
    };
    for (const auto& [how, value, index] : steps) {
        int32_t at = 77;
        EXPECT_EQ(ceSeekDatabase(db, how, value, &at), ids[index + 1]) << how << " " << value;
        EXPECT_EQ(at, index);
    }
    ceCloseHandle(db);
}

// Overwriting from the first record on, appending once the records run out: a table saved
// over a shorter database.
TEST_F(StoreTest, WritingPastTheLastRecordAppendsWithoutOverwriting) {
    DbHandle db = createAndOpen(u"DB");
    CEPROPVAL p = prop(0, CEVT_I4);
    for (int i = 0; i < 2; ++i) ceWriteRecordProps(db, 0, 1, &p);
    CEOID id = ceSeekDatabase(db, CEDB_SEEK_BEGINNING, 0, nullptr);
    for (int i = 0; i < 5; ++i) {
        p.val.lVal = 100 + i;
        ASSERT_NE(ceWriteRecordProps(db, id, 1, &p), 0u);
        id = ceSeekDatabase(db, CEDB_SEEK_CURRENT, 1, nullptr);
    }
    ceCloseHandle(db);
    db = ceOpenDatabase(u"DB");
    for (int i = 0; i <= 5; ++i) {
        uint16_t count = 9;
        CEPROPVAL* props = nullptr;
        const CEOID read = ceReadRecordProps(db, &count, &props);
        ASSERT_EQ(read != 0, i < 5);
        ASSERT_EQ(count, i < 5 ? 1 : 0);
        EXPECT_TRUE(i == 5 || props[0].val.lVal == 100 + i) << i;
        localFree(props);
        ceSeekDatabase(db, CEDB_SEEK_CURRENT, 1, nullptr);
    }
    ceCloseHandle(db);
}

TEST_F(StoreTest, EveryPropertyTypeReadsBackAsWritten) {
    const DbHandle db = createAndOpen(u"DB");
    char16_t text[] = u"Mallard";
    const CEPROPVAL p[7] = {
        prop(0, CEVT_I2, {.iVal = -2}),          prop(1, CEVT_UI2, {.uiVal = 65535}),
        prop(2, CEVT_I4, {.lVal = -2000000000}), prop(3, CEVT_UI4, {.ulVal = 4000000000u}),
        prop(4, CEVT_R8, {.dblVal = -0.25}),     prop(5, CEVT_BOOL, {.boolVal = 1}),
        prop(6, CEVT_LPWSTR, {.lpwstr = text}),
    };
    const CEOID id = ceWriteRecordProps(db, 0, 7, p);
    ASSERT_NE(id, 0u);
    // Replace one in place and drop another.
    CEPROPVAL change[2] = {prop(2, CEVT_I4, {.lVal = 5}), prop(4, CEVT_R8)};
    change[1].wFlags = CEDB_PROPDELETE;
    ASSERT_EQ(ceWriteRecordProps(db, id, 2, change), id);
    text[0] = u'X';  // the store kept its own copy
    uint16_t count = 0;
    CEPROPVAL* r = nullptr;
    ceSeekDatabase(db, CEDB_SEEK_BEGINNING, 0, nullptr);
    ASSERT_EQ(ceReadRecordProps(db, &count, &r), id);
    ASSERT_EQ(count, 6);
    EXPECT_EQ(r[0].val.iVal, -2);
    EXPECT_EQ(r[1].val.uiVal, 65535);
    EXPECT_EQ(r[2].val.lVal, 5);
    EXPECT_EQ(r[3].val.ulVal, 4000000000u);
    EXPECT_EQ(r[4].val.boolVal, 1);
    EXPECT_EQ(r[5].propid, makePropId(6, CEVT_LPWSTR));
    EXPECT_EQ(std::u16string(r[5].val.lpwstr), u"Mallard");
    localFree(r);
    ceCloseHandle(db);
}

TEST_F(StoreTest, BadWritesChangeNothing) {
    const DbHandle a = createAndOpen(u"A"), b = createAndOpen(u"B");
    const CEPROPVAL p = prop(0, CEVT_I4), nullText = prop(0, CEVT_LPWSTR);
    const CEOID inA = ceWriteRecordProps(a, 0, 1, &p);
    const CEPROPVAL bad[2] = {p, prop(1, 64)};  // a type the store does not keep
    const struct {
        DbHandle db;
        CEOID record;
        const CEPROPVAL* props;
        uint16_t count;
        uint32_t error;
    } cases[] = {
        {b, inA, &p, 1, ERROR_INVALID_PARAMETER},  // a record of another database
        {a, 0, bad, 2, ERROR_INVALID_PARAMETER},       {a, 0, nullptr, 1, ERROR_INVALID_PARAMETER},
        {a, 0, &nullText, 1, ERROR_INVALID_PARAMETER}, {12345, 0, &p, 1, ERROR_INVALID_HANDLE},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ceWriteRecordProps(c.db, c.record, c.count, c.props), 0u);
        EXPECT_EQ(getLastError(), c.error);
    }
    EXPECT_EQ(storedRecords(u"A"), 1);
    EXPECT_EQ(storedRecords(u"B"), 0);
}

TEST_F(StoreTest, OnlyCommittedTransactionsReachTheDisk) {
    beginStoreTransaction();
    putTestValue(1);
    restart();  // the program died before the commit
    EXPECT_FALSE(hasTestValue());
    beginStoreTransaction();
    beginStoreTransaction();
    putTestValue(2);
    EXPECT_EQ(commitStoreTransaction(), 0u);  // inner: not yet on disk
    restart();
    EXPECT_FALSE(hasTestValue());
    beginStoreTransaction();
    failNextStoreWrites(1, ERROR_DISK_FULL);
    EXPECT_EQ(putTestValue(3), ERROR_DISK_FULL);
    EXPECT_EQ(putTestValue(4), 0u);  // one refused write does not spoil the others
    EXPECT_EQ(commitStoreTransaction(), 0u);
    restart();
    EXPECT_TRUE(hasTestValue());
    EXPECT_EQ(commitStoreTransaction(), ERROR_INVALID_PARAMETER);  // none open
}

}  // namespace
