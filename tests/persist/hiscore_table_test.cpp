// The score table: entering, sorting and counting, and keeping it in the store.
#include "persist/hiscore_table.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "persist/ce_db_prop.h"
#include "persist/hiscore_merge.h"
#include "persist/prop_list.h"
#include "persist/settings.h"
#include "store_fixture.h"

namespace {

using Strings = std::vector<std::string>;

HiScoreRecord rec(int32_t score, const std::u16string& name, bool latest = true) {
    HiScoreRecord r;
    r.latest = latest;
    r.score = score;
    for (size_t i = 0; i < name.size() && i < 10; ++i) r.name[i] = name[i];
    return r;
}

std::u16string nameOf(const HiScoreRecord& r) {
    return std::u16string(r.name, 10).c_str();
}

// "NAME score", with "*" when the record is marked as the latest.
std::string describe(const HiScoreRecord& r) {
    const std::u16string n = nameOf(r);
    return std::string(n.begin(), n.end()) + " " + std::to_string(r.score) + (r.latest ? "*" : "");
}

// The table as the scores screen lists it: sorted, filled places only.
Strings listing(HiScoreTable& t) {
    t.Sort();
    Strings out;
    for (int i = 0; i < t.CountFilled(); ++i) out.push_back(describe(t.records[i]));
    return out;
}

using HiScoreTableTest = StoreFixture;

TEST_F(HiScoreTableTest, RoundsListBestFirstWithOnlyTheLastMarkedAndZeroNeverEnters) {
    HiScoreTable t;
    EXPECT_FALSE(t.Insert(rec(0, u"ZERO")));
    for (int32_t score : {50, 120, 80}) EXPECT_TRUE(t.Insert(rec(score, u"A")));
    EXPECT_EQ(listing(t), (Strings{"A 120", "A 80*", "A 50"}));
    EXPECT_FALSE(t.Insert(rec(0, u"ZERO")));  // but the earlier entry still loses its mark
    EXPECT_EQ(listing(t), (Strings{"A 120", "A 80", "A 50"}));
    t.records[3] = rec(30, u"b"), t.records[4] = rec(30, u"B"), t.records[5] = rec(30, u"AB");
    t.records[7] = rec(-10, u"NEG");
    // Upper case sorts first; the negative score goes below the empty places.
    EXPECT_EQ(listing(t), (Strings{"A 120", "A 80", "A 50", "AB 30*", "B 30*", "b 30*"}));
    EXPECT_EQ(t.records[9].score, -10);
}

TEST_F(HiScoreTableTest, AFullTableTakesAnEqualScoreOnlyWithANameAtOrBeforeTheWorst) {
    const std::tuple<int32_t, std::u16string, bool> cases[] = {
        {40, u"MAX", true}, {40, u"ABE", true},  {40, u"ZED", false}, {40, u"max", false},
        {41, u"ZED", true}, {39, u"AAA", false}, {40, u"MA", true},   {40, u"MAXI", false},
    };
    for (const auto& [score, name16, enters] : cases) {
        const std::string name =
            std::string(name16.begin(), name16.end()) + " " + std::to_string(score);
        SCOPED_TRACE(name);
        HiScoreTable t;
        for (int i = 0; i < 9; ++i) t.Insert(rec(100 + i, u"P"));
        t.Insert(rec(40, u"MAX"));
        EXPECT_EQ(t.Insert(rec(score, name16)), enters);
        const Strings list = listing(t);
        ASSERT_EQ(list.size(), 10u);
        EXPECT_EQ(list[9], enters ? name + "*" : "MAX 40");
        EXPECT_EQ(std::count_if(list.begin(), list.end(), [](auto& s) { return s.back() == '*'; }),
                  enters ? 1 : 0);
    }
}

TEST_F(HiScoreTableTest, CountFilledStopsAtTheFirstEmptyPlaceAndGetRecordStaysInTheTable) {
    const std::pair<std::vector<HiScoreRecord>, int> cases[] = {
        {{rec(5, u"A"), rec(0, u""), rec(6, u"B")}, 1},  // a gap hides what follows
        {{rec(0, u"A"), rec(-3, u"")}, 2},               // a name or a score fills a place
        {std::vector<HiScoreRecord>(10, rec(1, u"A")), 10},
    };
    for (const auto& [records, filled] : cases) {
        HiScoreTable t;
        std::copy(records.begin(), records.end(), t.records);
        EXPECT_EQ(t.CountFilled(), filled);
    }
    HiScoreTable t;
    t.records[9] = rec(7, u"LAST");
    HiScoreRecord out;
    EXPECT_TRUE(t.GetRecord(9, out));
    EXPECT_EQ(out.score, 7);
    for (int bad : {10, -1}) {
        HiScoreRecord keep = rec(1, u"KEEP");
        EXPECT_FALSE(t.GetRecord(bad, keep));
        EXPECT_EQ(nameOf(keep), u"KEEP");
    }
    EXPECT_EQ(boxes(), Strings(2, "This Number of record is bigger than is permitted"));
}

TEST_F(HiScoreTableTest, EveryFieldSurvivesAndClearAllReachesTheStoreOnlyWithTheNextSave) {
    HiScoreTable t;
    t.CreateDatabase();
    t.Load();
    EXPECT_EQ(storedRecords(u"HISCORE"), 10);  // the first run makes ten empty ones
    EXPECT_EQ(t.CountFilled(), 0);
    t.records[0] = rec(-5, u"NINECHARS", true);
    t.records[0].extra1 = 123456;
    t.records[0].extra2 = -2;
    t.records[1] = rec(2147483647, u"TENCHARSXX", false);  // no room for a null
    t.Save();
    t.ClearAll();
    EXPECT_EQ(t.CountFilled(), 0);
    restart();
    HiScoreTable u;
    u.CreateDatabase();  // a second start finds the database and leaves it alone
    u.Load();
    EXPECT_EQ(storedRecords(u"HISCORE"), 10);
    EXPECT_EQ(describe(u.records[0]) + "," + describe(u.records[1]),
              "NINECHARS -5*,TENCHARSX 2147483647");
    EXPECT_EQ(std::pair(u.records[0].extra1, u.records[0].extra2), std::pair(123456, -2));
    t.Save();
    restart();
    u.Load();
    EXPECT_EQ(u.CountFilled(), 0);
    EXPECT_TRUE(boxes().empty());
}

// Records written by hand, as a damaged or foreign store might hold them.
TEST_F(HiScoreTableTest, LoadCopesWithWhatTheStoreHolds) {
    ASSERT_NE(platform::ceCreateDatabase(u"HISCORE", 1), 0u);
    const platform::DbHandle db = platform::ceOpenDatabase(u"HISCORE");
    std::u16string longName(300, u'W');
    using namespace platform;
    CEPROPVAL p[5] = {prop(0, CEVT_LPWSTR, {.lpwstr = longName.data()}), prop(1, CEVT_I4),
                      prop(2, CEVT_R8, {.dblVal = 1.5}), prop(3, CEVT_BOOL, {.boolVal = 2}),
                      prop(4, CEVT_I4, {.lVal = 99})};  // the fifth is ignored
    for (int i = 0; i < 12; ++i) {
        p[1].val.lVal = 77 + i;
        ASSERT_NE(ceWriteRecordProps(db, 0, 5, p), 0u);
    }
    ceCloseHandle(db);
    HiScoreTable t;
    t.Load();
    for (int i = 0; i < 10; ++i) {
        const HiScoreRecord& r = t.records[i];
        EXPECT_EQ(describe(r), "WWWWWWWWW " + std::to_string(77 + i) + "*");
        EXPECT_EQ(r.latest, 1);
        EXPECT_EQ(r.extra1 | r.extra2, 0);
    }
}

TEST_F(HiScoreTableTest, FailuresAreShownAndTheGameGoesOn) {
    HiScoreTable t;
    t.Insert(rec(5, u"A"));
    t.Save();  // never created
    platform::failNextStoreWrites(1, platform::ERROR_DISK_FULL);
    t.CreateDatabase();
    EXPECT_EQ(boxes(), (Strings{"No database exists with the specified name.",
                                "Unable to create HiScore database!"}));
    EXPECT_EQ(t.records[0].score, 5);
    // A failed record write keeps that record and writes the others.
    const std::pair<uint32_t, const char*> cases[] = {
        {platform::ERROR_DISK_FULL, "Disk is full!"},
        {platform::ERROR_INVALID_PARAMETER, "Invalid parameter!"}};
    for (const auto& [error, box] : cases) {
        platform::ceDeleteDatabase(u"HISCORE");
        t.CreateDatabase();
        t.records[0] = rec(1, u"OLD"), t.records[1] = rec(2, u"OLD");
        t.Save();
        t.records[0] = rec(10, u"NEW"), t.records[1] = rec(20, u"NEW");
        headless::reset();
        platform::failNextStoreWrites(1, error);
        t.Save();
        EXPECT_EQ(boxes(), Strings{box});
        HiScoreTable u;
        u.Load();
        EXPECT_EQ(std::pair(u.records[0].score, u.records[1].score), std::pair(1, 20));
    }
}

TEST_F(HiScoreTableTest, PropertiesCopyTheirStringsAndCompareByValue) {
    CCeDbProp a, b;
    a.SetInt(5), b.SetInt(5);
    EXPECT_TRUE(a == b);
    a.SetBool(true), b.SetBool(true);
    EXPECT_TRUE(a == b);
    a.SetInt(1);
    EXPECT_FALSE(a == b);  // same number, another type
    a.SetString(u"DUCK");
    CCeDbProp c(a);
    ASSERT_NE(c.prop.val.lpwstr, a.prop.val.lpwstr);
    EXPECT_EQ(std::u16string(c.prop.val.lpwstr), u"DUCK");
    EXPECT_TRUE(a == a && !(a == c));  // strings compare by their buffer
    c.prop.wFlags = 1;
    c.SetString(nullptr);
    EXPECT_EQ(std::u16string(c.prop.val.lpwstr) + char16_t(u'0' + c.prop.wFlags), u"0");
    const char16_t emptyThenMore[] = {0, u'X', u'Y', 0};  // nothing past the end is read
    c.SetString(emptyThenMore);
    EXPECT_EQ(std::u16string(c.prop.val.lpwstr), u"");
    c.SetString(u"MALLARDS");  // a shorter name over a longer one reads back short, in
    c.SetString(u"TEAL");      // whatever memory the longer one left behind
    EXPECT_EQ(std::u16string(c.prop.val.lpwstr), u"TEAL");
    std::u16string longest(CCeDbProp::kMaxString - 1, u'L');
    c.SetString(longest.c_str());
    EXPECT_EQ(std::u16string(c.prop.val.lpwstr), longest);
    PropList list;
    for (auto [position, value] : {std::pair{0, 1}, {5, 2}, {-3, 3}, {1, 4}}) {
        a.SetInt(value);
        list.Insert(position, a);  // positions are clamped to the list
    }
    std::vector<int32_t> order;
    for (int i = 0; i < list.Count(); ++i) order.push_back(list[i].prop.val.lVal);
    EXPECT_EQ(order, (std::vector<int32_t>{3, 4, 1, 2}));
}

using HiScoreTableDeathTest = HiScoreTableTest;

TEST_F(HiScoreTableDeathTest, TheGameEndsOnItsOwnOverlongStringOrAnUnknownType) {
    std::u16string tooLong(CCeDbProp::kMaxString, u'L');
    EXPECT_EXIT(CCeDbProp().SetString(tooLong.c_str()), testing::ExitedWithCode(255), "");
    auto compareFileTimes = [] {
        CCeDbProp a, b;
        a.prop.propid = b.prop.propid = 64;  // a file time: never compared by the game
        (void)(a == b);
    };
    EXPECT_EXIT(compareFileTimes(), testing::ExitedWithCode(255), "");
}

// Another copy of the game saved between our load and our save: what it added stays,
// what it dropped goes, and only the newest entry keeps its mark.
TEST_F(HiScoreTableTest, ASaveMergesWhatAnotherCopyStoredMeanwhile) {
    using Records = HiScoreTable::Records;
    auto table = [](std::vector<HiScoreRecord> entries) {
        HiScoreTable t;
        std::copy(entries.begin(), entries.end(), t.records);
        return t;
    };
    auto listed = [](const Records& r) {
        Strings out;
        for (const HiScoreRecord& e : r)
            if (!e.empty()) out.push_back(describe(e));
        return out;
    };
    const HiScoreRecord a = rec(50, u"A", false), b = rec(70, u"B"), c = rec(60, u"C");
    const struct {
        const char* what;
        HiScoreTable mine, seen, stored;
        Strings expected;
        bool merged;
    } cases[] = {
        {"nobody else saved: ours as it is, unsorted",
         table({a, c}),
         table({a}),
         table({a}),
         {"A 50", "C 60*"},
         false},
        {"the other added one",
         table({a, c}),
         table({a}),
         table({a, b}),
         {"B 70", "C 60*", "A 50"},
         true},
        {"the other's mark stays when we made no entry",
         table({a}),
         table({a}),
         table({a, b}),
         {"B 70*", "A 50"},
         true},
        {"the other cleared the table", table({a, c}), table({a}), table({}), {"C 60*"}, true},
        {"we cleared the table", table({}), table({a}), table({a, b}), {"B 70*"}, true},
        {"the same score twice stays twice",
         table({a, rec(50, u"A")}),
         table({a}),
         table({a, rec(50, u"A", false)}),
         {"A 50", "A 50*", "A 50"},
         true},
        {"the ten best of both", table(std::vector<HiScoreRecord>(10, rec(10, u"M", false))),
         table({}), table(std::vector<HiScoreRecord>(10, rec(20, u"O", false))),
         Strings(10, "O 20"), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Records out;
        EXPECT_EQ(mergeScores(c.mine.records, c.seen.records, c.stored.records, out), c.merged);
        EXPECT_EQ(listed(out), c.expected);
    }
}

// Two processes on one store, each entering a score: neither loses the other's.
TEST_F(HiScoreTableTest, TwoCopiesOnOneStoreKeepEachOthersScores) {
    {
        Settings s(nullptr);
        s.hiScores->Insert(rec(50, u"A"));
    }
    restart();
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    const pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0) {  // the other copy: starts, waits, enters its score and ends
        close(go[1]);
        char c;
        if (read(go[0], &c, 1) != 1) _exit(1);
        bool entered = false;
        {
            Settings s(nullptr);
            entered = s.hiScores->Insert(rec(70, u"B"));
        }  // its shutdown save
        _exit(entered ? 0 : 1);
    }
    close(go[0]);
    {
        Settings s(nullptr);  // both have read the table with A alone
        ASSERT_EQ(write(go[1], "g", 1), 1);
        int status = 0;
        waitpid(other, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_TRUE(s.hiScores->Insert(rec(60, u"C")));
        s.hiScores->Save();  // as the scores screen does after a round
        EXPECT_EQ(listing(*s.hiScores), (Strings{"B 70", "C 60*", "A 50"}));
    }
    close(go[1]);
    restart();
    HiScoreTable t;
    t.Load();
    EXPECT_EQ(listing(t), (Strings{"B 70", "C 60*", "A 50"}));
    EXPECT_TRUE(boxes().empty());
}

}  // namespace
