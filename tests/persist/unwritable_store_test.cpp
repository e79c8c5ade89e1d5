// A store that cannot be written is not a damaged one: the game loads what is there,
// plays on, says once why nothing will be saved, and never touches the file.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "persist/hiscore_table.h"
#include "persist/settings.h"
#include "store_conditions.h"
#include "store_fixture.h"

namespace {

namespace fs = std::filesystem;
using namespace store_conditions;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

HiScoreRecord entry(int32_t score, const char16_t* name) {
    HiScoreRecord r;
    r.score = score;
    r.latest = 1;
    for (int i = 0; name[i] && i < 9; ++i) r.name[i] = name[i];
    return r;
}

class UnwritableStoreTest : public StoreFixture {
  protected:
    void TearDown() override {
        restart();
        unmount(dir_);  // a tmpfs a failed check left behind
        chmod(dir_.c_str(), 0700);
        StoreFixture::TearDown();
    }
    std::string db() const { return dir_ + "/tallreed.db"; }

    // Settings and one score, saved the ordinary way.
    void storeOldData() {
        Settings s(nullptr);
        s.lastScore = 777;
        s.hiScores->Insert(entry(90, u"OLD"));
    }
    // What a start finds: the old data loaded and nothing else.
    void expectOldData(const Settings& s) {
        EXPECT_EQ(s.lastScore, 777);
        EXPECT_EQ(std::pair(s.hiScores->records[0].score, s.hiScores->CountFilled()),
                  std::pair(90, 1));
    }
    // One run on the store as it is now: it must load the old data, say why it cannot
    // write, leave the file as it was, and show one box for the lost shutdown save.
    void playOneRun(const std::string& reason, const std::string& saveBox) {
        const std::string before = readFile(db());
        {
            Settings s(nullptr);
            expectOldData(s);
            ASSERT_EQ(boxes().size(), 1u);
            EXPECT_NE(boxes()[0].find("cannot be written: " + reason), std::string::npos)
                << boxes()[0];
            s.lastScore = 5;
            EXPECT_TRUE(s.hiScores->Insert(entry(95, u"NEW")));
        }
        ASSERT_EQ(boxes().size(), 2u);
        EXPECT_EQ(boxes()[1], saveBox);
        EXPECT_EQ(readFile(db()), before);  // untouched
        EXPECT_TRUE(brokenFiles().empty());
        EXPECT_FALSE(fs::exists(db() + "-journal"));
    }
    // After the cause is gone the next start goes on with the original file.
    void expectOriginalUsed() {
        restart();
        headless::reset();
        Settings s(nullptr);
        expectOldData(s);
        EXPECT_TRUE(boxes().empty()) << boxes()[0];
        EXPECT_TRUE(brokenFiles().empty());
    }
};

const char* const kPermissionBox =
    "Settings and scores could not be saved. The store cannot be written: permission denied.";

TEST_F(UnwritableStoreTest, AReadOnlyFileOrFolderIsReadAndLeftAlone) {
    struct Case {
        const char* name;
        std::function<std::string(const std::string&)> target;  // what is made read-only
        mode_t readOnly, writable;
        std::string reason;
    } cases[] = {
        {"file", [](const std::string& dir) { return dir + "/tallreed.db"; }, 0444, 0644,
         "the file is read-only"},
        {"folder", [](const std::string& dir) { return dir; }, 0555, 0755,
         "the folder " + dir_ + " is read-only"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        fs::remove(db());
        storeOldData();
        restart();
        headless::reset();
        ASSERT_EQ(chmod(c.target(dir_).c_str(), c.readOnly), 0);
        {
            const NoOverride asOrdinaryUser;
            playOneRun(c.reason, kPermissionBox);
            restart();
        }
        ASSERT_EQ(chmod(c.target(dir_).c_str(), c.writable), 0);
        expectOriginalUsed();
        if (HasFailure()) break;
    }
}

// The disk that SQLite sees full: runs everywhere, with or without the right to mount.
TEST_F(UnwritableStoreTest, AFullDiskAtStartLoadsEverythingAndMovesNothing) {
    storeOldData();
    restart();
    headless::reset();
    {
        const FullDisk disk;
        FullDisk::full = true;
        playOneRun("disk full", "Disk is full!");
        restart();
        FullDisk::full = false;
    }
    expectOriginalUsed();
}

TEST_F(UnwritableStoreTest, AFullFileSystemAtStartLoadsEverythingAndMovesNothing) {
    std::string why;
    if (!mountTinyTmpfs(dir_, 256 * 1024, why))
        GTEST_SKIP() << "no tiny tmpfs here (" << why << ")";
    storeOldData();
    restart();
    headless::reset();
    fillUp(dir_);
    playOneRun("disk full", "Disk is full!");
    fs::remove(dir_ + "/filler");
    fs::remove(dir_ + "/filler-tail");
    expectOriginalUsed();
    restart();
    unmount(dir_);
}

TEST_F(UnwritableStoreTest, AFileAnotherProgramReadsIsReadAndLeftAlone) {
    storeOldData();
    restart();
    headless::reset();
    platform::setStoreBusyTimeout(50);
    {
        const Reader reader(db());
        ASSERT_TRUE(reader.holding());
        playOneRun("another program is using it",
                   "Settings and scores could not be saved. Another program is using the store.");
        restart();
    }
    platform::setStoreBusyTimeout(1500);
    expectOriginalUsed();
}

// The disk fills while the game runs: the shutdown save is lost as a whole, with one
// box, and the table stored before stays as it was.
TEST_F(UnwritableStoreTest, AFullDiskAtShutdownShowsOneBoxAndKeepsTheOldTable) {
    std::string why;
    const bool tmpfs = mountTinyTmpfs(dir_, 256 * 1024, why);
    if (!tmpfs)
        std::printf("[ SKIPPED  ] the tiny tmpfs (%s); the injected full disk runs\n", why.c_str());
    for (const bool injected : {true, false}) {
        if (!injected && !tmpfs) break;
        SCOPED_TRACE(injected ? "injected" : "tmpfs");
        storeOldData();
        restart();
        headless::reset();
        {
            const std::unique_ptr<FullDisk> disk(injected ? new FullDisk : nullptr);
            {
                Settings s(nullptr);
                EXPECT_TRUE(boxes().empty());
                EXPECT_TRUE(s.hiScores->Insert(entry(95, u"NEW")));
                s.lastScore = 5;
                if (injected)
                    FullDisk::full = true;
                else
                    fillUp(dir_);
            }
            EXPECT_EQ(boxes(), std::vector<std::string>{"Disk is full!"});
            restart();
            FullDisk::full = false;
        }
        fs::remove(dir_ + "/filler");
        fs::remove(dir_ + "/filler-tail");
        expectOriginalUsed();
        fs::remove(db());
        restart();
    }
    if (tmpfs) unmount(dir_);
}

}  // namespace
