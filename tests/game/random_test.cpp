// The round's Lehmer generator: its arithmetic, its range and its seeding.
#include "game/random.h"

#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

// The runtime generator written out independently: state * 214013 + 2531011, bits 16..30.
int runtimeFirstValue(uint32_t seed) {
    const uint32_t s = seed * 214013u + 2531011u;
    return static_cast<int>((s >> 16) & 0x7FFF);
}

TEST(RandomTest, NextRawIsTheLehmerStepModulo16807) {
    for (int32_t seed : {1, 2, 7, 100, 16806, 12345}) {
        Random r(seed);
        int64_t expected = seed;
        for (int i = 0; i < 50; ++i) {
            expected = expected * 2187 % 16807;
            ASSERT_EQ(r.NextRaw(), expected) << "seed " << seed << " step " << i;
        }
    }
}

TEST(RandomTest, NextScalesTheNewStateIntoTheRange) {
    struct Case {
        int32_t seed, n;
    };
    for (Case c : {Case{1, 30}, Case{16806, 30}, Case{5000, 960}, Case{9999, 1000}, Case{3, 1}}) {
        Random r(c.seed);
        Random ref(c.seed);
        for (int i = 0; i < 200; ++i) {
            const int32_t state = ref.NextRaw();
            const int32_t v = r.Next(c.n);
            ASSERT_EQ(v, static_cast<int32_t>(static_cast<int64_t>(c.n) * state / 16807));
            ASSERT_GE(v, 0);
            ASSERT_LT(v, c.n);
        }
    }
}

TEST(RandomTest, ConstructionSeedsTheRuntimeFromTheClock) {
    for (uint32_t now : {1000000u, 0u, 123456789u, 0xFFFFFFF0u}) {
        headless::reset(now);
        Random r;
        EXPECT_EQ(r.state, runtimeFirstValue((now * 16807u) >> 1)) << "clock " << now;
    }
}

TEST(RandomTest, AStateStuckAtZeroIsReplacedByAUsableOne) {
    for (int32_t bad : {0, 16807, 2 * 16807}) {
        platform::seedRandom(42);
        Random r(bad);
        for (int i = 0; i < 20; ++i) {
            ASSERT_NE(r.NextRaw(), 0) << "seed " << bad;
            ASSERT_GT(r.state, 0);
            ASSERT_LT(r.state, 16807);
        }
    }
}

TEST(RandomTest, SameSeedSameSequence) {
    Random a(777), b(777), c(778);
    bool differs = false;
    for (int i = 0; i < 30; ++i) {
        const int32_t va = a.Next(1000);
        ASSERT_EQ(va, b.Next(1000));
        differs |= va != c.Next(1000);
    }
    EXPECT_TRUE(differs);
}

}  // namespace
