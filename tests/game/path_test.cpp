// The round's Lehmer generator and the flight paths: the Bresenham line, the zig-zag
// flight and the sliding sign path.
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "game/line_path.h"
#include "game/slide_path.h"
#include "game/zigzag_path.h"
#include "platform/platform.h"
#include "round_fixture.h"

namespace {

TEST(RandomTest, LehmerStepsAndScaledDraws) {
    for (auto [seed, n] : {std::pair{1, 30}, {16806, 30}, {5000, 960}, {12345, 1000}, {3, 1}}) {
        Random raw(seed), scaled(seed);
        int64_t state = seed;
        for (int i = 0; i < 100; ++i) {
            state = state * 2187 % 16807;
            ASSERT_EQ(raw.NextRaw(), state) << "seed " << seed << " step " << i;
            const int32_t v = scaled.Next(n);
            ASSERT_EQ(v, static_cast<int32_t>(n * state / 16807)) << "seed " << seed;
            ASSERT_LT(v, n);
        }
    }
}

TEST(RandomTest, DefaultSeedComesFromTheClockThroughTheRuntimeGenerator) {
    for (uint32_t now : {1000000u, 0u, 123456789u, 0xFFFFFFF0u}) {
        headless::reset(now);
        const uint32_t s = ((now * 16807u) >> 1) * 214013u + 2531011u;
        EXPECT_EQ(Random().state, static_cast<int32_t>((s >> 16) & 0x7FFF)) << "clock " << now;
    }
}

// Every seed the runtime can give (0..32767) brings a duck: the flock's Next(30) is 7
// within a few hundred draws. Seeds that are no multiple of 7 follow the plain
// recurrence; the others take a fresh state at once and never come back to one.
TEST(RandomTest, EverySeedReachesADuckAndOnlyMultiplesOfSevenAreReseeded) {
    platform::seedRandom(42);
    int worst = 0;
    for (int32_t seed = 0; seed < 32768; ++seed) {
        Random r(seed);
        int64_t plain = seed;
        int draws = 0;
        for (bool duck = false; !duck && draws < 1000; ++draws) {
            plain = plain * 2187 % 16807;
            duck = r.Next(30) == 7;
            ASSERT_NE(r.state % 7, 0) << "seed " << seed;
            ASSERT_LT(r.state, 16807);
            if (seed % 7 != 0) {
                ASSERT_EQ(r.state, plain) << "seed " << seed;
            }
        }
        worst = std::max(worst, draws);
    }
    EXPECT_LE(worst, 272);
}

TEST(LinePathTest, SpeedZeroOrNegativeNeverMoves) {
    for (int speed : {0, -1, -128}) {
        LinePath p(10, 20, 200, 300, speed);
        for (int i = 0; i < 100; ++i) {
            const PathPoint pt = p.Next();
            ASSERT_EQ(ints(pt.x, pt.y, p.IsDone()), ints(10, 20, false)) << speed;
        }
    }
}

TEST(LinePathTest, MajorAxisAdvancesBySpeedAndTheMinorStaysOnTheLine) {
    const std::tuple<int, int, int, int, int> cases[] = {{0, 0, 90, 37, 1},
                                                         {0, 0, 100, 30, 7},
                                                         {50, 50, -50, 20, 3},
                                                         {0, 0, 20, 200, 4},
                                                         {0, 100, 15, -100, 2}};
    for (auto [x0, y0, x1, y1, speed] : cases) {
        LinePath p(x0, y0, x1, y1, speed);
        const int dx = x1 - x0, dy = y1 - y0;
        const bool xMajor = std::abs(dx) >= std::abs(dy);
        for (int i = 1; i <= 12; ++i) {
            const PathPoint pt = p.Next();
            const int major = xMajor ? pt.x - x0 : pt.y - y0;
            ASSERT_EQ(major, speed * i * ((xMajor ? dx : dy) < 0 ? -1 : 1));
            const double ideal =
                xMajor ? double(dy) * (pt.x - x0) / dx + y0 : double(dx) * (pt.y - y0) / dy + x0;
            ASSERT_LE(std::abs((xMajor ? pt.y : pt.x) - ideal), 0.5 + 1e-9) << x1 << "," << y1;
        }
    }
}

TEST(LinePathTest, ArrivalBoxIsPlusMinusFiveInclusiveAndLatches) {
    LinePath p(0, 0, 100, 0, 1);
    for (int calls = 0; !p.IsDone() && calls < 200; ++calls) p.Next();
    EXPECT_EQ(p.x, 95);
    EXPECT_TRUE(LinePath(5, -5, 0, 0, 1).IsDone());
    EXPECT_FALSE(LinePath(6, 0, 0, 0, 1).IsDone());
    EXPECT_FALSE(LinePath(0, -6, 0, 0, 1).IsDone());
    // Done once inside the box, even after overshooting it.
    LinePath fast(0, 0, 10, 0, 4);
    fast.Next();
    fast.Next();
    ASSERT_TRUE(fast.IsDone());
    for (int i = 0; i < 10; ++i) fast.Next();
    EXPECT_TRUE(fast.IsDone());
}

TEST(ZigzagPathTest, SegmentsSwingAlternatelyAroundTheStartColumn) {
    for (int32_t seed : {1, 500, 9001, 16000}) {
        ZigzagPath z(120, -100, 0, 1120, 3, Random(seed));
        EXPECT_EQ(z.direction, 1);
        const PathPoint first = ZigzagPath(120, -100, 0, 1120, 3, Random(seed)).Next();
        EXPECT_TRUE(within(first.x, 117, 120) && within(first.y, -100, -97)) << "from the start";
        EXPECT_TRUE(within(z.advance, 30, 99));
        EXPECT_TRUE(within(z.swing, -49, -5));
        int lastSwing = z.swing, segments = 1;
        int32_t segStart = z.segStartY;
        for (int i = 0; i < 2000 && segments < 6; ++i) {
            const PathPoint oldEnd{z.segEndX, z.segEndY};
            z.Next();
            if (z.segStartY != segStart) {
                segStart = z.segStartY;
                ++segments;
                // Each segment starts exactly at the old one's end point.
                ASSERT_EQ(ints(z.segStartX, z.segStartY), ints(oldEnd.x, oldEnd.y));
                ASSERT_EQ(z.swing > 0, lastSwing < 0) << "seed " << seed;
                ASSERT_TRUE(within(std::abs(z.swing), 5, 49));
                ASSERT_TRUE(within(z.advance, 60, 199));
                ASSERT_EQ(z.segEndX, 120 + z.swing);
                lastSwing = z.swing;
            }
            ASSERT_LE(std::abs(z.x - 120), 50);
        }
        EXPECT_GE(segments, 6);
    }
    ZigzagPath up(100, 1000, 0, -160, 5, Random(321));
    EXPECT_EQ(up.direction, -1);
    EXPECT_TRUE(within(up.advance, -99, -30));
}

TEST(ZigzagPathTest, DoneOnlyNearTheTargetRowAndOutsideTheScene) {
    const std::tuple<int, int, int, bool> cases[] = {
        {100, 1115, 1120, true},  {100, 1130, 1120, true}, {100, 1131, 1120, false},
        {100, 1109, 1120, false}, {-5, 1120, 1120, true},  {100, 500, 1120, false},
        {100, 500, 500, false},   {0, 500, 500, true},     {1, 500, 500, false},
        {239, 495, 500, false},   {240, 495, 500, true},   {100, 0, 5, true},
        {100, 1, 5, false}};
    for (auto [x, y, targetY, done] : cases) {
        ZigzagPath z(100, -100, 0, targetY, 1, Random(5));
        z.x = x;
        z.y = y;
        EXPECT_EQ(z.IsDone(), done) << x << "," << y << " to " << targetY;
    }
    ZigzagPath flight(120, -150, 0, 1120, 9, Random(4241));
    for (int calls = 0; !flight.IsDone() && calls < 5000; ++calls) flight.Next();
    ASSERT_TRUE(flight.IsDone());
    EXPECT_GE(flight.y, 960);
}

TEST(SlidePathTest, SlidesOutPausesElevenChecksAndComesBack) {
    // Made directly and by the factory (as the sign duck's is), with the pause in the
    // last extra word.
    std::unique_ptr<Path> paths[] = {
        std::make_unique<SlidePath>(240, 300, 132, 300, -10, 0, 10),
        std::unique_ptr<Path>(makePath(PATH_SLIDE, {240, 300, 132, 300, 0, {-10, 0, 10}}))};
    for (auto& path : paths) {
        auto* p = dynamic_cast<SlidePath*>(path.get());
        ASSERT_NE(p, nullptr);
        int outSteps = 0;
        for (; p->phase == 1 && outSteps < 50; ++outSteps) {
            ASSERT_FALSE(p->IsDone());  // the check that ends the slide-out
            if (p->phase != 1) break;
            p->Next();
        }
        EXPECT_EQ(ints(p->x, outSteps), ints(130, 11));  // the first point within 132 +- 5
        int pauseChecks = 0;
        for (; p->phase == 0 && pauseChecks < 50; ++pauseChecks) {
            EXPECT_EQ(p->Next().x, 130);
            ASSERT_FALSE(p->IsDone());
        }
        EXPECT_EQ(pauseChecks, 11);
        for (int back = 0; !p->IsDone() && back < 50; ++back) p->Next();
        EXPECT_EQ(p->x, 240);
    }
}

TEST(PathFactoryTest, OnlyLineZigzagAndSlideKindsMakeAPath) {
    const PathParams params{0, 0, 100, 0, 1};
    for (int kind : {0, 2, 3, 6, -1, 99}) EXPECT_EQ(makePath(kind, params), nullptr) << kind;
    std::unique_ptr<Path> line(makePath(PATH_LINE, params));
    std::unique_ptr<Path> zig(makePath(PATH_ZIGZAG, params));
    std::unique_ptr<Path> slide(makePath(PATH_SLIDE, params));
    EXPECT_NE(dynamic_cast<LinePath*>(line.get()), nullptr);
    EXPECT_NE(dynamic_cast<ZigzagPath*>(zig.get()), nullptr);
    EXPECT_NE(dynamic_cast<SlidePath*>(slide.get()), nullptr);
}

}  // namespace
