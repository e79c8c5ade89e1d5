// What the file-based store does beyond the interface: where its file lives, what it
// does with a damaged file, a folder it cannot make, a file another copy holds, and a
// value far larger than anything the game writes.
#include <pwd.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "../persist/store_fixture.h"
#include "platform/store/store.h"

namespace {

namespace fs = std::filesystem;
using namespace platform;

std::string homeFromPasswd() {
    const passwd* entry = getpwuid(geteuid());
    return entry && entry->pw_dir ? entry->pw_dir : "";
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class StoreFileTest : public StoreFixture {
  protected:
    // The file set aside that the notice names.
    fs::path movedTo(const std::string& notice) const {
        for (const auto& b : brokenFiles())
            if (notice.find("moved to " + b.string() + " ") != std::string::npos) return b;
        return {};
    }
};

// A damaged file, or a folder in its place, is moved aside, never overwritten.
TEST_F(StoreFileTest, ADamagedFileIsMovedAsideNeverOverwritten) {
    const fs::path db = fs::path(dir_) / "tallreed.db";
    const std::string junk[] = {std::string(4096, 'x'), "SQLite format 3" + std::string(200, '\0')};
    for (int i = 0; i < 3; ++i) {
        restart();
        if (i < 2) std::ofstream(db, std::ios::binary) << junk[i];
        if (i == 2) fs::remove(db), fs::create_directories(db / "inside");
        EXPECT_EQ(createKey(u"K"), REG_CREATED_NEW_KEY);  // a fresh store
        EXPECT_TRUE(storeIsPersistent());
        const auto broken = brokenFiles();
        ASSERT_EQ(broken.size(), static_cast<size_t>(i + 1));
        const std::string said = takeStoreNotice();
        EXPECT_NE(said.find("could not be read"), std::string::npos) << said;
        EXPECT_EQ(takeStoreNotice(), "");  // said once
        const fs::path named = movedTo(said);
        ASSERT_FALSE(named.empty()) << said;
        EXPECT_TRUE(i < 2 ? readFile(named) == junk[i] : fs::exists(named / "inside"));
    }
}

// Another program's database at our path is moved aside whole, even when its one table
// is named and shaped like one of ours: the player's values go into a fresh file.
TEST_F(StoreFileTest, AnotherProgramsDatabaseIsMovedAsideNotWrittenInto) {
    const fs::path db = fs::path(dir_) / "tallreed.db";
    const std::pair<std::string, std::string> foreign[] = {
        {"db", "it belongs to another program"},
        {"notes", "it holds tables of another program"},
    };
    for (const auto& [table, why] : foreign) {
        restart();
        fs::remove(db);
        sqlite3* theirs = nullptr;
        ASSERT_EQ(sqlite3_open(db.c_str(), &theirs), SQLITE_OK);
        const std::string sql = "CREATE TABLE " + table +
                                "(id INTEGER PRIMARY KEY, name TEXT, type INTEGER);"
                                "INSERT INTO " +
                                table + " VALUES(7, 'theirs', 1);";
        ASSERT_EQ(sqlite3_exec(theirs, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(theirs);
        EXPECT_EQ(putTestValue(5), 0u);
        EXPECT_TRUE(storeIsPersistent());
        const std::string said = takeStoreNotice();
        EXPECT_NE(said.find("could not be read (" + why + ")"), std::string::npos) << said;
        const fs::path named = movedTo(said);
        ASSERT_FALSE(named.empty()) << said;
        // Set aside as it was: its one table and row, nothing of ours.
        ASSERT_EQ(sqlite3_open_v2(named.c_str(), &theirs, SQLITE_OPEN_READONLY, nullptr),
                  SQLITE_OK);
        std::string found;
        const std::string look =
            "SELECT group_concat(name) FROM sqlite_master;"
            "SELECT name FROM " +
            table;
        sqlite3_exec(
            theirs, look.c_str(),
            [](void* out, int, char** cells, char**) {
                *static_cast<std::string*>(out) += std::string(cells[0] ? cells[0] : "-") + ";";
                return 0;
            },
            &found, nullptr);
        sqlite3_close(theirs);
        EXPECT_EQ(found, table + ";theirs;");
        restart();
        EXPECT_TRUE(hasTestValue()) << table;
        EXPECT_EQ(takeStoreNotice(), "") << table;
    }
}

TEST_F(StoreFileTest, WithoutAFolderTheGameGoesOnInMemory) {
    std::ofstream(fs::path(dir_) / "file") << "x";
    for (const char* folder : {"/file/sub", "/file"}) {  // below a plain file, or one itself
        setStoreDirectory(dir_ + folder);
        EXPECT_EQ(putTestValue(9), 0u);
        EXPECT_FALSE(storeIsPersistent());
        EXPECT_TRUE(hasTestValue());
        const std::string said = takeStoreNotice();
        EXPECT_NE(said.find("the folder " + dir_ + folder + " cannot be made"), std::string::npos)
            << said;
        EXPECT_NE(said.find("nothing of this run will be kept"), std::string::npos) << said;
        EXPECT_EQ(readFile(fs::path(dir_) / "file"), "x") << folder;
        restart();
    }
}

TEST_F(StoreFileTest, AFileLockedByAnotherCopyIsLeftAloneAndTheGameUsesMemory) {
    putTestValue(1);
    restart();
    int ready[2], hold[2];
    ASSERT_EQ(pipe(ready) | pipe(hold), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        beginStoreTransaction();
        putTestValue(2);
        char c = 1;
        if (write(ready[1], &c, 1) != 1) _exit(1);
        _exit(read(hold[0], &c, 1) < 0);  // holds the lock until killed
    }
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    setStoreBusyTimeout(50);
    EXPECT_FALSE(storeIsPersistent());
    const std::string said = takeStoreNotice();
    EXPECT_NE(said.find("cannot be read: another program is using it"), std::string::npos) << said;
    EXPECT_FALSE(hasTestValue());  // a store of our own in memory, starting empty
    EXPECT_TRUE(brokenFiles().empty());
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    for (int fd : {ready[0], ready[1], hold[0], hold[1]}) close(fd);
    setStoreBusyTimeout(1500);
    restart();
    EXPECT_TRUE(storeIsPersistent());
    EXPECT_TRUE(hasTestValue());  // the first value, untouched by the killed writer
}

// A save whose commit is refused (another program is reading the file and does not let
// go) says so and leaves the old value, rather than passing for saved.
TEST_F(StoreFileTest, ASaveThatCannotBeCommittedSaysSoAndKeepsTheOldValue) {
    ASSERT_EQ(putTestValue(1), 0u);
    sqlite3* reader = nullptr;
    const fs::path db = fs::path(dir_) / "tallreed.db";
    ASSERT_EQ(sqlite3_open_v2(db.c_str(), &reader, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM sqlite_master;", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    setStoreBusyTimeout(50);
    EXPECT_NE(putTestValue(2), 0u);
    sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(reader);
    setStoreBusyTimeout(1500);
    EXPECT_EQ(getBytes(u"V"), (std::vector<uint8_t>{1, 0, 0, 0}));
    restart();
    EXPECT_EQ(getBytes(u"V"), (std::vector<uint8_t>{1, 0, 0, 0}));
}

// The XDG rules: an absolute XDG_DATA_HOME, else the home folder's .local/share; a
// relative XDG_DATA_HOME is ignored, and without HOME the password database names the
// home. Never a folder relative to wherever the game was started.
TEST_F(StoreFileTest, TheDefaultLocationFollowsTheDataHome) {
    struct Saved {
        const char* name;
        std::string value;
        bool set;
    } saved[] = {{"XDG_DATA_HOME", "", false}, {"HOME", "", false}};
    for (Saved& v : saved)
        if (const char* now = std::getenv(v.name)) v.value = now, v.set = true;
    setStoreDirectory("");
    const std::string home = dir_ + "/home";
    const std::string passwdHome = homeFromPasswd();
    struct Case {
        const char* xdg;
        const char* home;
        std::string expected;
    } cases[] = {
        {"DATA", nullptr, dir_ + "/data/tallreed/tallreed.db"},
        {nullptr, "HOME", home + "/.local/share/tallreed/tallreed.db"},
        {"relative/data", "HOME", home + "/.local/share/tallreed/tallreed.db"},
        {"", "HOME", home + "/.local/share/tallreed/tallreed.db"},
        {nullptr, nullptr, passwdHome + "/.local/share/tallreed/tallreed.db"},
        {nullptr, "relative/home", passwdHome + "/.local/share/tallreed/tallreed.db"},
    };
    for (const Case& c : cases) {
        const std::string xdg = c.xdg && std::string(c.xdg) == "DATA" ? dir_ + "/data" : "";
        if (c.xdg)
            setenv("XDG_DATA_HOME", xdg.empty() ? c.xdg : xdg.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        if (c.home)
            setenv("HOME", std::string(c.home) == "HOME" ? home.c_str() : c.home, 1);
        else
            unsetenv("HOME");
        EXPECT_EQ(storePath(), c.expected)
            << (c.xdg ? c.xdg : "-") << " " << (c.home ? c.home : "-");
    }
    setenv("XDG_DATA_HOME", (dir_ + "/data").c_str(), 1);
    putTestValue(1);
    EXPECT_TRUE(fs::exists(dir_ + "/data/tallreed/tallreed.db"));
    restart();
    for (const Saved& v : saved) {
        if (v.set)
            setenv(v.name, v.value.c_str(), 1);
        else
            unsetenv(v.name);
    }
    setStoreDirectory(dir_);
}

// This process's resident memory in KiB: now (VmRSS) or at its peak (VmHWM).
long residentKiB(const char* which) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(which, 0) == 0) return std::atol(line.c_str() + std::strlen(which));
    return -1;
}

// A value far larger than anything the game writes (another program's, a tampered
// file's) costs no more to look at than the game can use of it.
TEST_F(StoreFileTest, AHugeStoredValueCostsOnlyWhatTheReaderTakes) {
    const size_t huge = size_t{64} << 20;
    {
        putBytes(u"UserName", REG_SZ, std::vector<uint8_t>(huge, 'A'));
        const DbHandle db = createAndOpen(u"HISCORE");
        std::u16string text(huge / 2, u'W');
        const CEPROPVAL p = prop(4, CEVT_LPWSTR, {.lpwstr = text.data()});
        ASSERT_NE(ceWriteRecordProps(db, 0, 1, &p), 0u);
        ceCloseHandle(db);
    }
    restart();
    const HKEY k = openKey();
    const DbHandle db = ceOpenDatabase(u"HISCORE");
    if (!(std::ofstream("/proc/self/clear_refs") << "5")) GTEST_SKIP() << "no peak memory reset";
    const long before = residentKiB("VmRSS:");
    uint32_t size = 0;
    EXPECT_EQ(regQueryValue(k, u"UserName", nullptr, nullptr, &size), 0u);
    EXPECT_EQ(size, huge);
    uint8_t small[16];
    size = sizeof small;
    EXPECT_EQ(regQueryValue(k, u"UserName", nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, huge);
    uint16_t count = 0;
    CEPROPVAL* props = nullptr;
    ASSERT_NE(ceReadRecordProps(db, &count, &props), 0u);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(std::u16string(props[0].val.lpwstr).size(), 65472u / 2);  // cut, not copied whole
    localFree(props);
    const long grown = residentKiB("VmHWM:") - before;
    EXPECT_LT(grown, 16 * 1024) << "KiB";
    ceCloseHandle(db);
    regCloseKey(k);
}

}  // namespace
