#include "platform/store/store.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../persist/store_fixture.h"

namespace {

namespace fs = std::filesystem;
using namespace platform;

std::vector<fs::path> brokenFiles(const std::string& dir) {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().rfind("tallreed.db.broken-", 0) == 0)
            out.push_back(e.path());
    return out;
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// Writes one DWORD under a test key; answers the error.
uint32_t putTestValue(uint32_t v) {
    HKEY k = 0;
    regCreateKey(HKEY_CURRENT_USER, u"Test", &k, nullptr);
    const uint32_t e = regSetValue(k, u"V", REG_DWORD, reinterpret_cast<uint8_t*>(&v), 4);
    regCloseKey(k);
    return e;
}

bool hasTestValue() {
    HKEY k = 0;
    regCreateKey(HKEY_CURRENT_USER, u"Test", &k, nullptr);
    uint32_t size = 0;
    const bool found = regQueryValue(k, u"V", nullptr, nullptr, &size) == ERROR_SUCCESS;
    regCloseKey(k);
    return found;
}

using StoreTest = StoreFixture;

TEST_F(StoreTest, KeysAreCreatedOnceAndFoundByAnySpellingOfTheirPath) {
    HKEY k = 0;
    uint32_t disposition = 0;
    ASSERT_EQ(regCreateKey(HKEY_CURRENT_USER, u"Quenmoor\\Tallreed", &k, &disposition), 0u);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    regCloseKey(k);
    for (const char16_t* path :
         {u"Quenmoor\\Tallreed", u"quenmoor\\TALLREED\\", u"\\Quenmoor\\\\Tallreed"}) {
        ASSERT_EQ(regCreateKey(HKEY_CURRENT_USER, path, &k, &disposition), 0u);
        EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
        regCloseKey(k);
    }
    restart();
    ASSERT_EQ(regCreateKey(HKEY_CURRENT_USER, u"Quenmoor\\Tallreed", &k, &disposition), 0u);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
}

TEST_F(StoreTest, QueryingAValueFollowsTheSizeRules) {
    HKEY k = openKey();
    const uint8_t text[] = {'H', 0, 'I', 0, 0, 0};
    ASSERT_EQ(regSetValue(k, u"Name", REG_SZ, text, sizeof text), 0u);
    uint32_t type = 0, size = 0;
    EXPECT_EQ(regQueryValue(k, u"Name", &type, nullptr, &size), 0u);  // size only
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, sizeof text);
    uint8_t small[4] = {9, 9, 9, 9};
    size = sizeof small;
    EXPECT_EQ(regQueryValue(k, u"Name", &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, sizeof text);
    EXPECT_EQ(small[0], 9);  // nothing half-copied
    uint8_t big[16] = {};
    size = sizeof big;
    EXPECT_EQ(regQueryValue(k, u"Name", &type, big, &size), 0u);
    EXPECT_EQ(size, sizeof text);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(big), 6), std::string("H\0I\0\0\0", 6));
    EXPECT_EQ(regQueryValue(k, u"Missing", &type, big, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(regQueryValue(k, u"Name", &type, big, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(regDeleteValue(k, u"Name"), 0u);
    EXPECT_EQ(regDeleteValue(k, u"Name"), ERROR_FILE_NOT_FOUND);
    regCloseKey(k);
    size = sizeof big;
    EXPECT_EQ(regQueryValue(k, u"Name", &type, big, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(regSetValue(k, u"Name", REG_DWORD, big, 4), ERROR_INVALID_HANDLE);
    k = openKey();
    restart();  // handles of an earlier run are not valid any more
    EXPECT_EQ(regSetValue(k, u"Name", REG_DWORD, big, 4), ERROR_INVALID_HANDLE);
}

TEST_F(StoreTest, DatabasesAreNamedOnceAndOpenedByName) {
    EXPECT_NE(ceCreateDatabase(u"HISCORE", 7), 0u);
    EXPECT_EQ(ceCreateDatabase(u"hiscore", 7), 0u);
    EXPECT_EQ(getLastError(), ERROR_DUP_NAME);
    const std::u16string tooLong(32, u'D');
    for (const char16_t* bad : {static_cast<const char16_t*>(nullptr), u"", tooLong.c_str()}) {
        EXPECT_EQ(ceCreateDatabase(bad, 7), 0u);
        EXPECT_EQ(getLastError(), ERROR_INVALID_PARAMETER);
    }
    EXPECT_EQ(ceOpenDatabase(u"OTHER"), INVALID_DB_HANDLE);
    EXPECT_EQ(getLastError(), ERROR_FILE_NOT_FOUND);
    const DbHandle db = ceOpenDatabase(u"HISCORE");
    ASSERT_NE(db, INVALID_DB_HANDLE);
    int32_t index = 5;
    EXPECT_EQ(ceSeekDatabase(db, CEDB_SEEK_END, 0, &index), 0u);  // empty
    EXPECT_EQ(index, -1);
    EXPECT_TRUE(ceCloseHandle(db));
    EXPECT_FALSE(ceCloseHandle(db));
    EXPECT_EQ(ceSeekDatabase(db, CEDB_SEEK_BEGINNING, 0, &index), 0u);
    EXPECT_EQ(getLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(StoreTest, SeekingWalksTheRecordsInTheOrderTheyWereMade) {
    ceCreateDatabase(u"DB", 1);
    const DbHandle db = ceOpenDatabase(u"DB");
    CEPROPVAL p;
    p.propid = makePropId(0, CEVT_I4);
    CEOID ids[3];
    for (int i = 0; i < 3; ++i) {
        p.val.lVal = i;
        ids[i] = ceWriteRecordProps(db, 0, 1, &p);
        ASSERT_NE(ids[i], 0u);
    }
    const struct {
        uint32_t how;
        int32_t value;
        CEOID id;
        int32_t index;
    } steps[] = {
        {CEDB_SEEK_END, 0, ids[2], 2},
        {CEDB_SEEK_BEGINNING, 0, ids[0], 0},
        {CEDB_SEEK_CURRENT, 1, ids[1], 1},
        {CEDB_SEEK_END, 2, ids[0], 0},
        {CEDB_SEEK_CURRENT, 2, ids[2], 2},
        {CEDB_SEEK_CURRENT, 1, 0, -1},
        {CEDB_SEEK_BEGINNING, 3, 0, -1},
        {CEDB_SEEK_END, 3, 0, -1},
        {CEDB_SEEK_BEGINNING, 1, ids[1], 1},
        {CEDB_SEEK_CURRENT, -1, ids[0], 0},
        {CEDB_SEEK_CURRENT, -1, 0, -1},
        {CEDB_SEEK_CURRENT, 0, ids[0], 0},
        {99, 0, 0, -1},
    };
    for (const auto& s : steps) {
        int32_t index = 77;
        EXPECT_EQ(ceSeekDatabase(db, s.how, s.value, &index), s.id) << s.how << " " << s.value;
        EXPECT_EQ(index, s.index);
    }
    ceCloseHandle(db);
}

// Overwriting from the first record on and appending once the records run out: a
// table saved over a shorter database.
TEST_F(StoreTest, WritingPastTheLastRecordAppendsWithoutOverwriting) {
    ceCreateDatabase(u"DB", 1);
    DbHandle db = ceOpenDatabase(u"DB");
    CEPROPVAL p;
    p.propid = makePropId(0, CEVT_I4);
    for (int i = 0; i < 2; ++i) ceWriteRecordProps(db, 0, 1, &p);
    CEOID id = ceSeekDatabase(db, CEDB_SEEK_BEGINNING, 0, nullptr);
    for (int i = 0; i < 5; ++i) {
        p.val.lVal = 100 + i;
        ASSERT_NE(ceWriteRecordProps(db, id, 1, &p), 0u);
        id = ceSeekDatabase(db, CEDB_SEEK_CURRENT, 1, nullptr);
    }
    ceCloseHandle(db);
    db = ceOpenDatabase(u"DB");
    for (int i = 0; i < 5; ++i) {
        uint16_t count = 0;
        CEPROPVAL* props = nullptr;
        ASSERT_NE(ceReadRecordProps(db, &count, &props), 0u);
        ASSERT_EQ(count, 1);
        EXPECT_EQ(props[0].val.lVal, 100 + i);
        localFree(props);
        ceSeekDatabase(db, CEDB_SEEK_CURRENT, 1, nullptr);
    }
    uint16_t count = 9;
    CEPROPVAL* props = nullptr;
    EXPECT_EQ(ceReadRecordProps(db, &count, &props), 0u);
    EXPECT_EQ(count, 0);
    ceCloseHandle(db);
}

TEST_F(StoreTest, EveryPropertyTypeReadsBackAsWritten) {
    ceCreateDatabase(u"DB", 1);
    const DbHandle db = ceOpenDatabase(u"DB");
    char16_t text[] = u"Mallard";
    CEPROPVAL p[7];
    p[0].propid = makePropId(0, CEVT_I2);
    p[0].val.iVal = -2;
    p[1].propid = makePropId(1, CEVT_UI2);
    p[1].val.uiVal = 65535;
    p[2].propid = makePropId(2, CEVT_I4);
    p[2].val.lVal = -2000000000;
    p[3].propid = makePropId(3, CEVT_UI4);
    p[3].val.ulVal = 4000000000u;
    p[4].propid = makePropId(4, CEVT_R8);
    p[4].val.dblVal = -0.25;
    p[5].propid = makePropId(5, CEVT_BOOL);
    p[5].val.boolVal = 1;
    p[6].propid = makePropId(6, CEVT_LPWSTR);
    p[6].val.lpwstr = text;
    const CEOID id = ceWriteRecordProps(db, 0, 7, p);
    ASSERT_NE(id, 0u);
    // Replace one in place and drop another.
    CEPROPVAL change[2];
    change[0].propid = makePropId(2, CEVT_I4);
    change[0].val.lVal = 5;
    change[1].propid = makePropId(4, CEVT_R8);
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
    ceCreateDatabase(u"A", 1);
    ceCreateDatabase(u"B", 1);
    const DbHandle a = ceOpenDatabase(u"A");
    const DbHandle b = ceOpenDatabase(u"B");
    CEPROPVAL p;
    p.propid = makePropId(0, CEVT_I4);
    const CEOID inA = ceWriteRecordProps(a, 0, 1, &p);
    CEPROPVAL bad[2];
    bad[0].propid = makePropId(0, CEVT_I4);
    bad[1].propid = makePropId(1, 64);  // a type the store does not keep
    const struct {
        DbHandle db;
        CEOID record;
        const CEPROPVAL* props;
        uint16_t count;
        uint32_t error;
    } cases[] = {
        {b, inA, &p, 1, ERROR_INVALID_PARAMETER},  // a record of another database
        {a, 0, bad, 2, ERROR_INVALID_PARAMETER},
        {a, 0, nullptr, 1, ERROR_INVALID_PARAMETER},
        {12345, 0, &p, 1, ERROR_INVALID_HANDLE},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ceWriteRecordProps(c.db, c.record, c.count, c.props), 0u);
        EXPECT_EQ(getLastError(), c.error);
    }
    CEPROPVAL nullText;
    nullText.propid = makePropId(0, CEVT_LPWSTR);
    EXPECT_EQ(ceWriteRecordProps(a, 0, 1, &nullText), 0u);
    int32_t last = -1;
    ceSeekDatabase(a, CEDB_SEEK_END, 0, &last);
    EXPECT_EQ(last, 0);
    ceSeekDatabase(b, CEDB_SEEK_END, 0, &last);
    EXPECT_EQ(last, -1);
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

// A damaged file, or a folder in its place, is moved aside, never overwritten.
TEST_F(StoreTest, ADamagedFileIsMovedAsideNeverOverwritten) {
    const fs::path db = fs::path(dir_) / "tallreed.db";
    const std::string junk[] = {std::string(4096, 'x'), "SQLite format 3" + std::string(200, '\0'),
                                ""};
    for (int i = 0; i < 3; ++i) {
        restart();
        if (i < 2) writeFile(db, junk[i]);
        if (i == 2) fs::remove(db), fs::create_directories(db / "inside");
        testing::internal::CaptureStderr();
        HKEY k = 0;
        uint32_t disposition = 0;
        EXPECT_EQ(regCreateKey(HKEY_CURRENT_USER, u"K", &k, &disposition), 0u);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);  // a fresh store
        EXPECT_TRUE(storeIsPersistent());
        EXPECT_NE(said.find("moved to"), std::string::npos) << said;
        EXPECT_EQ(said.find("moved to"), said.rfind("moved to"));  // said once
        const auto broken = brokenFiles(dir_);
        ASSERT_EQ(broken.size(), static_cast<size_t>(i + 1));
        bool kept = false;
        for (const auto& b : broken)
            kept = kept || (i < 2 ? readFile(b) == junk[i] : fs::exists(b / "inside"));
        EXPECT_TRUE(kept);
    }
}

TEST_F(StoreTest, WithoutAFolderTheGameGoesOnInMemory) {
    writeFile(fs::path(dir_) / "file", "x");
    setStoreDirectory(dir_ + "/file/sub");
    testing::internal::CaptureStderr();
    EXPECT_EQ(putTestValue(9), 0u);
    EXPECT_FALSE(storeIsPersistent());
    EXPECT_TRUE(hasTestValue());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("will not be kept"), std::string::npos);
}

TEST_F(StoreTest, AFileLockedByAnotherCopyIsLeftAloneAndTheGameUsesMemory) {
    putTestValue(1);
    restart();
    int ready[2], hold[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(hold), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        beginStoreTransaction();
        putTestValue(2);
        const char c = 1;
        if (write(ready[1], &c, 1) != 1) _exit(1);
        char d;
        if (read(hold[0], &d, 1) < 0) _exit(1);  // holds the lock until killed
        _exit(0);
    }
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    setStoreBusyTimeout(50);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(storeIsPersistent());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("in use"), std::string::npos) << said;
    EXPECT_FALSE(hasTestValue());  // a store of our own in memory, starting empty
    EXPECT_TRUE(brokenFiles(dir_).empty());
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    for (int fd : {ready[0], ready[1], hold[0], hold[1]}) close(fd);
    setStoreBusyTimeout(1500);
    restart();
    EXPECT_TRUE(storeIsPersistent());
    EXPECT_TRUE(hasTestValue());  // the first value, untouched by the killed writer
}

TEST_F(StoreTest, TheDefaultLocationFollowsTheDataHome) {
    const char* oldXdg = std::getenv("XDG_DATA_HOME");
    const std::string saved = oldXdg ? oldXdg : "";
    setStoreDirectory("");
    setenv("XDG_DATA_HOME", (dir_ + "/data").c_str(), 1);
    EXPECT_EQ(storePath(), dir_ + "/data/tallreed/tallreed.db");
    putTestValue(1);
    EXPECT_TRUE(fs::exists(dir_ + "/data/tallreed/tallreed.db"));
    restart();
    unsetenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (home) {
        EXPECT_EQ(storePath(), std::string(home) + "/.local/share/tallreed/tallreed.db");
    }
    if (oldXdg) setenv("XDG_DATA_HOME", saved.c_str(), 1);
    setStoreDirectory(dir_);
}

}  // namespace
