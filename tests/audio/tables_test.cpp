// The step, period, note-index and sine tables against the rules they come from.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "audio/module_tables.h"
#include "audio/step_tables.h"

namespace {

TEST(StepTables, EveryEntryFollowsTheRuleModulo65536) {
    for (uint32_t rate : {11025u, 22050u, 44100u}) {
        const uint16_t* t = StepTableForRate(rate);
        for (int p : {0, 1713, 1714, 1715}) EXPECT_EQ(t[p], 0) << rate << " " << p;
        for (uint32_t p = 1; p <= 1712; ++p) {
            const long double exact = 3546894.6L * 256.0L / (static_cast<long double>(p) * rate);
            ASSERT_EQ(t[p], static_cast<uint64_t>(std::floor(exact)) % 65536) << rate << " " << p;
        }
    }
    EXPECT_EQ(StepTableForRate(22050)[428], 96);
    EXPECT_EQ(StepTableForRate(8000), StepTableForRate(22050));
}

TEST(PeriodTable, EveryRowFollowsTheRuleAndFalls) {
    const uint16_t* t = PeriodTable();
    EXPECT_EQ(t[0], 1712);
    EXPECT_EQ(t[24], 428);
    for (int row = 0; row < 16; ++row) {
        const int f = row < 8 ? row : row - 16;  // finetune 0..7, then -8..-1
        for (int n = 0; n < 60; ++n) {
            const int v = t[row * 60 + n];
            const int rule =
                static_cast<int>(std::floor(1712.0 * std::pow(2.0, -(n / 12.0 + f / 96.0))));
            ASSERT_GE(v - rule, -2) << row << "/" << n;
            ASSERT_LE(v - rule, 1) << row << "/" << n;
            ASSERT_TRUE(n == 0 || v < t[row * 60 + n - 1]) << row << "/" << n;
        }
    }
}

TEST(NoteIndexMap, EveryPeriodMapsToTheNearestLowestEntry) {
    const uint16_t* map = NoteIndexMap();
    const uint16_t* t = PeriodTable();
    EXPECT_EQ(map[428], 24);
    for (int p = 0; p < kNoteIndexMapSize; ++p) {
        const int chosen = map[p];
        ASSERT_LT(chosen, kPeriodTableSize);
        const int d = std::abs(t[chosen] - p);
        for (int i = 0; i < kPeriodTableSize; ++i) {
            const int di = std::abs(t[i] - p);
            ASSERT_TRUE(di > d || (di == d && i >= chosen)) << "period " << p << " index " << i;
        }
    }
}

TEST(SineTable, FloorOf256Sine) {
    for (int i = 0; i < 64; ++i) {
        const double v = 256.0 * std::sin(M_PI * (i % 32) / 32.0);
        EXPECT_EQ(SineTable()[i], (i < 32 ? 1 : -1) * static_cast<int>(std::floor(v + 1e-9))) << i;
    }
}

}  // namespace
