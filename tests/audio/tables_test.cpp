// The step, period, note-index and sine tables.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "audio/module_tables.h"
#include "audio/step_tables.h"

namespace {

TEST(StepTables, QuotedEntries) {
    struct Case {
        uint32_t rate, period, step;
    };
    for (const Case c : {Case{22050, 428, 96}, Case{22050, 856, 48}, Case{22050, 113, 364},
                         Case{11025, 428, 192}, Case{44100, 428, 48}}) {
        EXPECT_EQ(StepTableForRate(c.rate)[c.period], c.step) << c.rate << " " << c.period;
    }
}

TEST(StepTables, EdgesAreZeroAndOtherRatesUseTheMiddleTable) {
    for (uint32_t rate : {11025u, 22050u, 44100u}) {
        const uint16_t* t = StepTableForRate(rate);
        for (int p : {0, 1713, 1714, 1715}) EXPECT_EQ(t[p], 0) << rate << " " << p;
        EXPECT_NE(t[1712], 0);
    }
    EXPECT_EQ(StepTableForRate(8000), StepTableForRate(22050));
    EXPECT_EQ(StepTableForRate(48000), StepTableForRate(22050));
}

TEST(StepTables, EveryEntryFollowsTheRuleModulo65536) {
    // Small periods overflow 16 bits at the low rates: the table keeps the low bits.
    for (uint32_t rate : {11025u, 22050u, 44100u}) {
        const uint16_t* t = StepTableForRate(rate);
        for (uint32_t p = 1; p <= 1712; ++p) {
            const long double exact = 3546894.6L * 256.0L / (static_cast<long double>(p) * rate);
            const uint64_t whole = static_cast<uint64_t>(std::floor(exact));
            ASSERT_EQ(t[p], whole % 65536) << rate << " p=" << p;
        }
    }
    EXPECT_EQ(StepTableForRate(11025)[1], 82358 % 65536);
}

TEST(PeriodTable, QuotedValues) {
    const uint16_t* t = PeriodTable();
    const uint16_t row0[60] = {1712, 1616, 1525, 1440, 1357, 1281, 1209, 1141, 1077, 1017, 961, 907,
                               856,  808,  762,  720,  678,  640,  604,  570,  538,  508,  480, 453,
                               428,  404,  381,  360,  339,  320,  302,  285,  269,  254,  240, 226,
                               214,  202,  190,  180,  170,  160,  151,  143,  135,  127,  120, 113,
                               107,  101,  95,   90,   85,   80,   76,   71,   67,   64,   60,  57};
    for (int n = 0; n < 60; ++n) EXPECT_EQ(t[n], row0[n]) << n;
    struct Case {
        int row, note, value;
    };
    const Case quoted[] = {{1, 0, 1699},  {1, 1, 1604},  {1, 2, 1514},  {1, 59, 56},
                           {7, 0, 1627},  {7, 1, 1536},  {7, 2, 1449},  {7, 59, 54},
                           {8, 0, 1813},  {8, 1, 1711},  {8, 2, 1615},  {8, 59, 60},
                           {15, 0, 1724}, {15, 1, 1627}, {15, 2, 1536}, {15, 59, 57}};
    for (const Case& c : quoted)
        EXPECT_EQ(t[c.row * 60 + c.note], c.value) << c.row << "/" << c.note;
}

TEST(PeriodTable, EveryRowFollowsTheRuleAndFalls) {
    const uint16_t* t = PeriodTable();
    for (int row = 0; row < 16; ++row) {
        const int f = row < 8 ? row : row - 16;
        for (int n = 0; n < 60; ++n) {
            const int rule =
                static_cast<int>(std::floor(1712.0 * std::pow(2.0, -(n / 12.0 + f / 96.0))));
            const int v = t[row * 60 + n];
            ASSERT_GE(v - rule, -2) << row << "/" << n;
            ASSERT_LE(v - rule, 1) << row << "/" << n;
            if (n > 0) {
                ASSERT_LT(v, t[row * 60 + n - 1]) << row << "/" << n;
            }
        }
    }
    // Each finetune step lowers the pitch within an octave's row: row 1 below row 0,
    // row 8 (finetune -8) above.
    EXPECT_LT(t[60 + 24], t[24]);
    EXPECT_GT(t[8 * 60 + 24], t[24]);
}

TEST(NoteIndexMap, QuotedAndNearest) {
    const uint16_t* map = NoteIndexMap();
    const uint16_t* t = PeriodTable();
    EXPECT_EQ(map[428], 24);
    EXPECT_EQ(map[1713], 0);
    EXPECT_EQ(map[1712], 0);
    for (int p = 0; p < 54; ++p) EXPECT_EQ(map[p], 359) << p;
    EXPECT_EQ(t[359], 54);
    for (int p = 0; p < kNoteIndexMapSize; ++p) {
        const int chosen = map[p];
        ASSERT_LT(chosen, kPeriodTableSize);
        const int d = std::abs(t[chosen] - p);
        for (int i = 0; i < kPeriodTableSize; ++i) {
            const int di = std::abs(t[i] - p);
            ASSERT_GE(di, d) << "period " << p << " nearer at " << i;
            if (i < chosen) {
                ASSERT_GT(di, d) << "period " << p << " tie not lowest at " << i;
            }
        }
    }
}

TEST(SineTable, QuarterWaveMirroredAndNegated) {
    const int16_t* s = SineTable();
    const int16_t first[17] = {0,   25,  49,  74,  97,  120, 142, 162, 181,
                               197, 212, 225, 236, 244, 251, 254, 256};
    for (int i = 0; i <= 16; ++i) EXPECT_EQ(s[i], first[i]) << i;
    for (int i = 17; i < 32; ++i) EXPECT_EQ(s[i], s[32 - i]) << i;
    EXPECT_EQ(s[17], 254);
    EXPECT_EQ(s[31], 25);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(s[i + 32], -s[i]) << i;
}

}  // namespace
