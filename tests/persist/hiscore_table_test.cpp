#include "persist/hiscore_table.h"

#include <string>
#include <vector>

#include "persist/ce_db_prop.h"
#include "persist/prop_list.h"
#include "store_fixture.h"

namespace {

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

// The table as the scores screen lists it: sorted, filled places only.
std::vector<std::pair<int32_t, bool>> listing(HiScoreTable& t) {
    t.Sort();
    std::vector<std::pair<int32_t, bool>> out;
    for (int i = 0; i < t.CountFilled(); ++i)
        out.push_back({t.records[i].score, t.records[i].latest != 0});
    return out;
}

int storedRecords() {
    const platform::DbHandle db = platform::ceOpenDatabase(u"HISCORE");
    int32_t last = -1;
    platform::ceSeekDatabase(db, platform::CEDB_SEEK_END, 0, &last);
    platform::ceCloseHandle(db);
    return last + 1;
}

using HiScoreTableTest = StoreFixture;

TEST_F(HiScoreTableTest, FirstRunCreatesTenEmptyRecords) {
    HiScoreTable t;
    t.CreateDatabase();
    t.Load();
    EXPECT_EQ(storedRecords(), 10);
    EXPECT_EQ(t.CountFilled(), 0);
    // A second start finds the database and leaves it alone.
    t.records[0] = rec(5, u"X");
    t.Save();
    HiScoreTable again;
    again.CreateDatabase();
    again.Load();
    EXPECT_EQ(storedRecords(), 10);
    EXPECT_EQ(again.records[0].score, 5);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(HiScoreTableTest, ThreeRoundsListBestFirstWithOnlyTheLastMarked) {
    HiScoreTable t;
    for (int32_t score : {50, 120, 80}) EXPECT_TRUE(t.Insert(rec(score, u"ANN")));
    EXPECT_EQ(listing(t),
              (std::vector<std::pair<int32_t, bool>>{{120, false}, {80, true}, {50, false}}));
}

TEST_F(HiScoreTableTest, AZeroScoreNeverEnters) {
    HiScoreTable t;
    EXPECT_FALSE(t.Insert(rec(0, u"ANN")));
    EXPECT_EQ(t.CountFilled(), 0);
    EXPECT_TRUE(t.Insert(rec(10, u"ANN")));
    EXPECT_FALSE(t.Insert(rec(0, u"BEN")));
    EXPECT_EQ(t.CountFilled(), 1);
    EXPECT_FALSE(t.records[0].latest);  // the earlier entry still loses its mark
}

TEST_F(HiScoreTableTest, AFullTableTakesAnEqualScoreOnlyWithANameAtOrBeforeTheWorst) {
    const struct {
        int32_t score;
        std::u16string name;
        bool enters;
    } cases[] = {
        {40, u"MAX", true},  {40, u"ABE", true},
        {40, u"ZED", false}, {40, u"max", false},  // lower case sorts after upper case
        {41, u"ZED", true},  {39, u"AAA", false},
        {40, u"MA", true},   {40, u"MAXI", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name.begin(), c.name.end()) + " " + std::to_string(c.score));
        HiScoreTable t;
        for (int i = 0; i < 9; ++i) t.Insert(rec(100 + i, u"P"));
        t.Insert(rec(40, u"MAX"));
        ASSERT_EQ(t.CountFilled(), 10);
        EXPECT_EQ(t.Insert(rec(c.score, c.name)), c.enters);
        t.Sort();
        const HiScoreRecord& last = t.records[9];
        EXPECT_EQ(nameOf(last), c.enters ? c.name : u"MAX");
        EXPECT_EQ(last.latest != 0, c.enters);
        for (int i = 0; i < 9; ++i) EXPECT_FALSE(t.records[i].latest);
    }
}

TEST_F(HiScoreTableTest, CountFilledStopsAtTheFirstEmptyPlace) {
    const struct {
        std::vector<HiScoreRecord> records;
        int expected;
    } cases[] = {
        {{}, 0},
        {{rec(5, u"A"), rec(6, u"B")}, 2},
        {{rec(5, u"A"), rec(0, u""), rec(6, u"B")}, 1},  // a gap hides what follows
        {{rec(0, u"A"), rec(-3, u"")}, 2},               // a name or a score fills a place
        {std::vector<HiScoreRecord>(10, rec(1, u"A")), 10},
    };
    for (const auto& c : cases) {
        HiScoreTable t;
        for (size_t i = 0; i < c.records.size(); ++i) t.records[i] = c.records[i];
        EXPECT_EQ(t.CountFilled(), c.expected);
    }
}

TEST_F(HiScoreTableTest, SortOrdersByScoreThenByName) {
    HiScoreTable t;
    t.records[0] = rec(30, u"b");
    t.records[1] = rec(-10, u"NEG");
    t.records[2] = rec(30, u"B");
    t.records[3] = rec(30, u"AB");
    t.records[4] = rec(90, u"Z");
    t.Sort();
    const std::vector<std::u16string> names = {u"Z", u"AB", u"B", u"b"};
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(nameOf(t.records[i]), names[i]);
    EXPECT_TRUE(t.records[4].empty());
    EXPECT_EQ(t.records[9].score, -10);  // below the empty places
}

TEST_F(HiScoreTableTest, GetRecordRefusesPlacesOutsideTheTable) {
    HiScoreTable t;
    t.records[9] = rec(7, u"LAST");
    HiScoreRecord out = rec(1, u"UNTOUCHED");
    EXPECT_TRUE(t.GetRecord(9, out));
    EXPECT_EQ(out.score, 7);
    for (int bad : {10, 11, -1}) {
        HiScoreRecord keep = rec(1, u"UNTOUCHED");
        EXPECT_FALSE(t.GetRecord(bad, keep));
        EXPECT_EQ(nameOf(keep), u"UNTOUCHED");
    }
    EXPECT_EQ(boxes(),
              std::vector<std::string>(3, "This Number of record is bigger than is permitted"));
}

TEST_F(HiScoreTableTest, ClearAllReachesTheStoreOnlyWithTheNextSave) {
    HiScoreTable t;
    t.CreateDatabase();
    t.Insert(rec(60, u"SAM"));
    t.Save();
    t.ClearAll();
    EXPECT_EQ(t.CountFilled(), 0);
    restart();
    HiScoreTable before;
    before.Load();
    EXPECT_EQ(before.records[0].score, 60);
    t.Save();
    restart();
    HiScoreTable after;
    after.Load();
    EXPECT_EQ(after.CountFilled(), 0);
    EXPECT_EQ(storedRecords(), 10);
}

TEST_F(HiScoreTableTest, EveryFieldSurvivesSaveAndLoad) {
    HiScoreTable t;
    t.CreateDatabase();
    t.records[0] = rec(-5, u"NINECHARS", true);
    t.records[0].extra1 = 123456;
    t.records[0].extra2 = -2;
    t.records[1] = rec(2147483647, u"TENCHARSXX", false);  // no room for a null
    t.Save();
    restart();
    HiScoreTable u;
    u.Load();
    EXPECT_EQ(u.records[0].score, -5);
    EXPECT_EQ(u.records[0].extra1, 123456);
    EXPECT_EQ(u.records[0].extra2, -2);
    EXPECT_EQ(u.records[0].latest, 1);
    EXPECT_EQ(nameOf(u.records[0]), u"NINECHARS");
    EXPECT_EQ(u.records[1].score, 2147483647);
    EXPECT_EQ(u.records[1].latest, 0);
    EXPECT_EQ(nameOf(u.records[1]), u"TENCHARSX");
}

// Records written by hand, as a damaged or foreign store might hold them.
TEST_F(HiScoreTableTest, LoadCopesWithWhatTheStoreHolds) {
    ASSERT_NE(platform::ceCreateDatabase(u"HISCORE", 1), 0u);
    const platform::DbHandle db = platform::ceOpenDatabase(u"HISCORE");
    std::u16string longName(300, u'W');
    platform::CEPROPVAL p[5] = {};
    p[0].propid = platform::makePropId(0, platform::CEVT_LPWSTR);
    p[0].val.lpwstr = longName.data();
    p[1].propid = platform::makePropId(1, platform::CEVT_I4);
    p[1].val.lVal = 77;
    p[2].propid = platform::makePropId(2, platform::CEVT_R8);
    p[2].val.dblVal = 1.5;
    p[3].propid = platform::makePropId(3, platform::CEVT_BOOL);
    p[3].val.boolVal = 2;
    p[4].propid = platform::makePropId(4, platform::CEVT_I4);  // past the extras: ignored
    p[4].val.lVal = 99;
    for (int i = 0; i < 12; ++i) {
        p[1].val.lVal = 77 + i;
        ASSERT_NE(platform::ceWriteRecordProps(db, 0, 5, p), 0u);
    }
    platform::ceCloseHandle(db);
    HiScoreTable t;
    t.Load();
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(nameOf(t.records[i]), std::u16string(9, u'W'));
        EXPECT_EQ(t.records[i].score, 77 + i);
        EXPECT_EQ(t.records[i].latest, 1);
        EXPECT_EQ(t.records[i].extra1, 0);
        EXPECT_EQ(t.records[i].extra2, 0);
    }
}

TEST_F(HiScoreTableTest, AFailedRecordWriteKeepsThatRecordAndWritesTheOthers) {
    const struct {
        uint32_t error;
        const char* box;
    } cases[] = {{platform::ERROR_DISK_FULL, "Disk is full!"},
                 {platform::ERROR_INVALID_PARAMETER, "Invalid parameter!"}};
    for (const auto& c : cases) {
        headless::reset();
        HiScoreTable t;
        t.CreateDatabase();
        t.records[0] = rec(1, u"OLD");
        t.records[1] = rec(2, u"OLD");
        t.Save();
        t.records[0] = rec(10, u"NEW");
        t.records[1] = rec(20, u"NEW");
        platform::failNextStoreWrites(1, c.error);
        t.Save();
        EXPECT_EQ(boxes(), std::vector<std::string>{c.box});
        HiScoreTable u;
        u.Load();
        EXPECT_EQ(u.records[0].score, 1);
        EXPECT_EQ(u.records[1].score, 20);
        platform::ceDeleteDatabase(u"HISCORE");
    }
}

TEST_F(HiScoreTableTest, DatabaseFailuresAreShownAndTheGameGoesOn) {
    HiScoreTable t;
    t.Insert(rec(5, u"A"));
    t.Save();  // never created
    platform::failNextStoreWrites(1, platform::ERROR_DISK_FULL);
    t.CreateDatabase();
    EXPECT_EQ(boxes(), (std::vector<std::string>{"No database exists with the specified name.",
                                                 "Unable to create HiScore database!"}));
    EXPECT_EQ(t.records[0].score, 5);
}

TEST_F(HiScoreTableTest, PropertiesCopyTheirStringsAndCompareByValue) {
    CCeDbProp a, b;
    a.SetInt(5);
    b.SetInt(5);
    EXPECT_TRUE(a == b);
    b.SetBool(true);
    a.SetBool(true);
    EXPECT_TRUE(a == b);
    a.SetInt(1);
    EXPECT_FALSE(a == b);  // same number, another type
    a.SetString(u"DUCK");
    CCeDbProp c(a);
    ASSERT_NE(c.prop.val.lpwstr, a.prop.val.lpwstr);
    EXPECT_EQ(std::u16string(c.prop.val.lpwstr), u"DUCK");
    EXPECT_FALSE(a == c);  // strings compare by their buffer
    EXPECT_TRUE(a == a);
    c.prop.wFlags = 1;
    c.SetString(nullptr);
    EXPECT_EQ(c.prop.wFlags, 0);
    EXPECT_EQ(std::u16string(c.prop.val.lpwstr), u"");
    std::u16string longest(CCeDbProp::kMaxString - 1, u'L');
    c.SetString(longest.c_str());
    EXPECT_EQ(std::u16string(c.prop.val.lpwstr).size(), longest.size());
}

TEST_F(HiScoreTableTest, PropListInsertsAtClampedPositions) {
    PropList list;
    CCeDbProp p;
    for (auto [position, value] : {std::pair{0, 1}, {5, 2}, {-3, 3}, {1, 4}}) {
        p.SetInt(value);
        list.Insert(position, p);
    }
    ASSERT_EQ(list.Count(), 4);
    const int32_t expected[] = {3, 4, 1, 2};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(list[i].prop.val.lVal, expected[i]);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

using HiScoreTableDeathTest = HiScoreTableTest;

TEST_F(HiScoreTableDeathTest, TheGameEndsOnItsOwnOverlongStringOrAnUnknownType) {
    std::u16string tooLong(CCeDbProp::kMaxString, u'L');
    EXPECT_EXIT(
        {
            CCeDbProp p;
            p.SetString(tooLong.c_str());
        },
        testing::ExitedWithCode(255), "");
    auto compareFileTimes = [] {
        CCeDbProp a;
        CCeDbProp b;
        a.prop.propid = b.prop.propid = 64;  // a file time: never compared by the game
        (void)(a == b);
    };
    EXPECT_EXIT(compareFileTimes(), testing::ExitedWithCode(255), "");
}

}  // namespace
