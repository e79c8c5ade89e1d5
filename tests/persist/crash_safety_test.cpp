// A save killed at any moment leaves one whole state: settings and score table from the
// same save, every value of it.
#include <cstdlib>
#include <random>

#include "save_killer.h"
#include "store_fixture.h"

namespace {

using CrashSafetyTest = StoreFixture;

// 200 kills here; TALLREED_KILLS asks for more (the kill benchmark runs 1000).
int kills() {
    const char* asked = std::getenv("TALLREED_KILLS");
    const int n = asked ? std::atoi(asked) : 0;
    return n > 0 ? n : 200;
}

TEST_F(CrashSafetyTest, AKilledShutdownSaveLeavesSettingsAndTableFromOneWholeSave) {
    std::mt19937 rng(20240611);
    int32_t lastSeen = 0;
    for (int round = 0, n = kills(); round < n; ++round) {
        SCOPED_TRACE(round);
        const save_killer::Outcome o = save_killer::killOneSave(rng);
        ASSERT_TRUE(o.killed);
        EXPECT_TRUE(o.settingsWhole) << "settings mixed around save " << o.settings;
        EXPECT_TRUE(o.tableWhole) << "table mixed around save " << o.table;
        EXPECT_EQ(o.table, o.settings);                // one transaction: always the same save
        EXPECT_GE(o.settings, lastSeen + o.reported);  // reported saves are never lost
        lastSeen = o.settings;
        EXPECT_TRUE(brokenFiles().empty());  // a killed writer is recovery, not damage
        if (HasFailure()) break;
    }
}

}  // namespace
