// The desktop's heartbeat on a made-up clock: ticks on time keep their phase, a game that
// falls behind gets one tick for the periods it missed, never a burst.
#include "platform/sdl/heartbeat.h"

#include <gtest/gtest.h>

namespace {

using platform::desktop::Heartbeat;

TEST(HeartbeatTest, TicksKeepTheirPhaseAndMissedOnesAreMergedNotDoubled) {
    Heartbeat beat;
    EXPECT_FALSE(beat.due(1000000));
    EXPECT_EQ(beat.untilNext(0), -1) << "not started: the wait has no deadline";
    beat.start(10000, 5000);  // ticks due at 15000, 25000, 35000 ...
    struct Step {
        uint64_t now;
        bool due;
        int64_t untilNext;  // after the step
        uint64_t ticks, merged;
    };
    const Step steps[] = {
        {14999, false, 1, 0, 0},  // one microsecond early
        {15000, true, 10000, 1, 0},
        {15000, false, 10000, 1, 0},  // asked again at once: no second tick
        {26000, true, 9000, 2, 0},    // a late tick does not push the next one back
        {35000, true, 10000, 3, 0},
        {72000, true, 3000, 4, 2},  // 45000, 55000, 65000 due: one given, two merged
        {74999, false, 1, 4, 2},
        {75000, true, 10000, 5, 2},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(beat.due(s.now), s.due) << "at " << s.now;
        EXPECT_EQ(beat.untilNext(s.now), s.untilNext) << "at " << s.now;
        EXPECT_EQ(beat.ticks(), s.ticks) << "at " << s.now;
        EXPECT_EQ(beat.merged(), s.merged) << "at " << s.now;
    }
    EXPECT_EQ(beat.untilNext(90000), 0) << "overdue";
    beat.start(20000, 90000);  // a new period starts from now
    EXPECT_FALSE(beat.due(109999));
    EXPECT_TRUE(beat.due(110000));
    beat.start(0, 110000);
    EXPECT_FALSE(beat.due(500000));
    EXPECT_EQ(beat.untilNext(500000), -1);
}

}  // namespace
