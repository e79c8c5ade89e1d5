// The score table: entering, sorting and counting, and keeping it in the store.
#include "persist/hiscore_table.h"

#include <algorithm>
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

// "NAME score", with "*" when the record is marked as the latest.
std::string describe(const HiScoreRecord& r) {
    const std::u16string n = nameOf(r);
    return std::string(n.begin(), n.end()) + " " + std::to_string(r.score) + (r.latest ? "*" : "");
}

// The table as the scores screen lists it: sorted, filled places only.
std::vector<std::string> listing(HiScoreTable& t) {
    t.Sort();
    std::vector<std::string> out;
    for (int i = 0; i < t.CountFilled(); ++i) out.push_back(describe(t.records[i]));
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

TEST_F(HiScoreTableTest, RoundsListBestFirstWithOnlyTheLastMarkedAndZeroNeverEnters) {
    HiScoreTable t;
    EXPECT_FALSE(t.Insert(rec(0, u"ZERO")));
    for (int32_t score : {50, 120, 80}) EXPECT_TRUE(t.Insert(rec(score, u"A")));
    EXPECT_EQ(listing(t), (std::vector<std::string>{"A 120", "A 80*", "A 50"}));
    EXPECT_FALSE(t.Insert(rec(0, u"ZERO")));  // but the earlier entry still loses its mark
    EXPECT_EQ(listing(t), (std::vector<std::string>{"A 120", "A 80", "A 50"}));
    t.records[3] = rec(30, u"b");
    t.records[4] = rec(30, u"B");
    t.records[5] = rec(30, u"AB");
    t.records[7] = rec(-10, u"NEG");
    EXPECT_EQ(listing(t), (std::vector<std::string>{"A 120", "A 80", "A 50", "AB 30*", "B 30*",
                                                    "b 30*"}));  // upper case sorts first
    EXPECT_EQ(t.records[9].score, -10);                          // below the empty places
}

TEST_F(HiScoreTableTest, AFullTableTakesAnEqualScoreOnlyWithANameAtOrBeforeTheWorst) {
    const struct {
        int32_t score;
        std::u16string name;
        bool enters;
    } cases[] = {
        {40, u"MAX", true}, {40, u"ABE", true},  {40, u"ZED", false}, {40, u"max", false},
        {41, u"ZED", true}, {39, u"AAA", false}, {40, u"MA", true},   {40, u"MAXI", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name.begin(), c.name.end()) + " " + std::to_string(c.score));
        HiScoreTable t;
        for (int i = 0; i < 9; ++i) t.Insert(rec(100 + i, u"P"));
        t.Insert(rec(40, u"MAX"));
        EXPECT_EQ(t.Insert(rec(c.score, c.name)), c.enters);
        const std::vector<std::string> list = listing(t);
        ASSERT_EQ(list.size(), 10u);
        const std::string name(c.name.begin(), c.name.end());
        EXPECT_EQ(list[9], c.enters ? name + " " + std::to_string(c.score) + "*" : "MAX 40");
        EXPECT_EQ(std::count_if(list.begin(), list.end(),
                                [](const std::string& s) { return s.back() == '*'; }),
                  c.enters ? 1 : 0);
    }
}

TEST_F(HiScoreTableTest, CountFilledStopsAtTheFirstEmptyPlace) {
    const struct {
        std::vector<HiScoreRecord> records;
        int expected;
    } cases[] = {
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

TEST_F(HiScoreTableTest, GetRecordRefusesPlacesOutsideTheTable) {
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
    EXPECT_EQ(boxes(),
              std::vector<std::string>(2, "This Number of record is bigger than is permitted"));
}

TEST_F(HiScoreTableTest, EveryFieldSurvivesAndClearAllReachesTheStoreOnlyWithTheNextSave) {
    HiScoreTable t;
    t.CreateDatabase();
    t.Load();
    EXPECT_EQ(storedRecords(), 10);  // the first run makes ten empty ones
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
    EXPECT_EQ(storedRecords(), 10);
    EXPECT_EQ(describe(u.records[0]), "NINECHARS -5*");
    EXPECT_EQ(describe(u.records[1]), "TENCHARSX 2147483647");
    EXPECT_EQ(u.records[0].extra1, 123456);
    EXPECT_EQ(u.records[0].extra2, -2);
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
    platform::CEPROPVAL p[5] = {};
    const uint16_t types[] = {platform::CEVT_LPWSTR, platform::CEVT_I4, platform::CEVT_R8,
                              platform::CEVT_BOOL, platform::CEVT_I4};  // the fifth is ignored
    for (int i = 0; i < 5; ++i) p[i].propid = platform::makePropId(i, types[i]);
    p[0].val.lpwstr = longName.data();
    p[2].val.dblVal = 1.5;
    p[3].val.boolVal = 2;
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
        EXPECT_EQ(t.records[i].extra1 | t.records[i].extra2, 0);
    }
}

TEST_F(HiScoreTableTest, FailuresAreShownAndTheGameGoesOn) {
    HiScoreTable t;
    t.Insert(rec(5, u"A"));
    t.Save();  // never created
    platform::failNextStoreWrites(1, platform::ERROR_DISK_FULL);
    t.CreateDatabase();
    EXPECT_EQ(boxes(), (std::vector<std::string>{"No database exists with the specified name.",
                                                 "Unable to create HiScore database!"}));
    EXPECT_EQ(t.records[0].score, 5);
    // A failed record write keeps that record and writes the others.
    const struct {
        uint32_t error;
        const char* box;
    } cases[] = {{platform::ERROR_DISK_FULL, "Disk is full!"},
                 {platform::ERROR_INVALID_PARAMETER, "Invalid parameter!"}};
    for (const auto& c : cases) {
        platform::ceDeleteDatabase(u"HISCORE");
        t.CreateDatabase();
        t.records[0] = rec(1, u"OLD");
        t.records[1] = rec(2, u"OLD");
        t.Save();
        t.records[0] = rec(10, u"NEW");
        t.records[1] = rec(20, u"NEW");
        headless::reset();
        platform::failNextStoreWrites(1, c.error);
        t.Save();
        EXPECT_EQ(boxes(), std::vector<std::string>{c.box});
        HiScoreTable u;
        u.Load();
        EXPECT_EQ(u.records[0].score, 1);
        EXPECT_EQ(u.records[1].score, 20);
    }
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

    PropList list;
    for (auto [position, value] : {std::pair{0, 1}, {5, 2}, {-3, 3}, {1, 4}}) {
        a.SetInt(value);
        list.Insert(position, a);  // positions are clamped to the list
    }
    ASSERT_EQ(list.Count(), 4);
    const int32_t expected[] = {3, 4, 1, 2};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(list[i].prop.val.lVal, expected[i]);
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

}  // namespace
