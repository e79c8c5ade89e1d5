// Flight paths: the Bresenham line, the zig-zag flight and the sliding sign path.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "game/line_path.h"
#include "game/slide_path.h"
#include "game/zigzag_path.h"

namespace {

TEST(LinePathTest, SpeedZeroOrNegativeNeverMoves) {
    for (int speed : {0, -1, -128}) {
        LinePath p(10, 20, 200, 300, speed);
        for (int i = 0; i < 100; ++i) {
            const PathPoint pt = p.Next();
            ASSERT_EQ(pt.x, 10);
            ASSERT_EQ(pt.y, 20);
            ASSERT_FALSE(p.IsDone());
        }
        EXPECT_EQ(p.stepCount, 100);
    }
}

TEST(LinePathTest, MajorAxisAdvancesBySpeedEveryCall) {
    struct Case {
        int x0, y0, x1, y1, speed;
    };
    for (Case c : {Case{0, 0, 100, 30, 1}, Case{0, 0, 100, 30, 7}, Case{50, 50, -50, 20, 3},
                   Case{0, 0, 20, 200, 4}, Case{0, 100, 15, -100, 2}}) {
        LinePath p(c.x0, c.y0, c.x1, c.y1, c.speed);
        const bool xMajor = std::abs(c.x1 - c.x0) >= std::abs(c.y1 - c.y0);
        const int sx = c.x1 >= c.x0 ? 1 : -1;
        const int sy = c.y1 < c.y0 ? -1 : 1;
        for (int i = 1; i <= 5; ++i) {
            const PathPoint pt = p.Next();
            if (xMajor) {
                ASSERT_EQ(pt.x, c.x0 + sx * c.speed * i);
            } else {
                ASSERT_EQ(pt.y, c.y0 + sy * c.speed * i);
            }
        }
    }
}

TEST(LinePathTest, FollowsTheLineWithinHalfAPixel) {
    LinePath p(0, 0, 90, 37, 1);
    for (int i = 0; i < 90; ++i) {
        const PathPoint pt = p.Next();
        const double ideal = 37.0 * pt.x / 90.0;
        ASSERT_LE(std::abs(pt.y - ideal), 0.5 + 1e-9) << "x " << pt.x;
    }
    EXPECT_EQ(p.x, 90);
    EXPECT_EQ(p.y, 37);
}

TEST(LinePathTest, ArrivalBoxIsPlusMinusFiveInclusive) {
    // Walking right one pixel per call: done first at x = 95, not at 94.
    LinePath p(0, 0, 100, 0, 1);
    int calls = 0;
    while (!p.IsDone()) {
        p.Next();
        ++calls;
        ASSERT_LT(calls, 200);
    }
    EXPECT_EQ(p.x, 95);
    // A start already inside the box is done at once; just outside it is not.
    EXPECT_TRUE(LinePath(5, -5, 0, 0, 1).IsDone());
    EXPECT_FALSE(LinePath(6, 0, 0, 0, 1).IsDone());
    EXPECT_FALSE(LinePath(0, -6, 0, 0, 1).IsDone());
}

TEST(LinePathTest, DoneLatchesEvenAfterLeavingTheBox) {
    LinePath p(0, 0, 10, 0, 4);
    p.Next();
    p.Next();  // x = 8: inside the box
    ASSERT_TRUE(p.IsDone());
    for (int i = 0; i < 10; ++i) p.Next();  // overshoots to x = 48
    EXPECT_TRUE(p.IsDone());
}

TEST(ZigzagPathTest, SegmentsSwingAlternatelyAroundTheStartColumn) {
    for (int32_t seed : {1, 500, 9001, 16000}) {
        ZigzagPath z(120, -100, 0, 1120, 3, Random(seed));
        EXPECT_EQ(z.direction, 1);
        EXPECT_GE(z.advance, 30);
        EXPECT_LE(z.advance, 99);
        EXPECT_LE(z.swing, -5);
        EXPECT_GE(z.swing, -49);
        int lastSwing = z.swing;
        int segments = 1;
        int32_t segStart = z.segStartY;
        for (int i = 0; i < 2000 && segments < 6; ++i) {
            z.Next();
            if (z.segStartY != segStart) {
                segStart = z.segStartY;
                ++segments;
                ASSERT_EQ(z.swing > 0, lastSwing < 0) << "seed " << seed;
                ASSERT_GE(std::abs(z.swing), 5);
                ASSERT_LE(std::abs(z.swing), 49);
                ASSERT_GE(z.advance, 60);
                ASSERT_LE(z.advance, 199);
                ASSERT_EQ(z.segEndX, 120 + z.swing);
                lastSwing = z.swing;
            }
            ASSERT_GE(z.x, 120 - 49 - 1);
            ASSERT_LE(z.x, 120 + 49 + 1);
        }
        EXPECT_GE(segments, 6);
    }
}

TEST(ZigzagPathTest, FlyingUpHasNegativeAdvances) {
    ZigzagPath z(100, 1000, 0, -160, 5, Random(321));
    EXPECT_EQ(z.direction, -1);
    EXPECT_LE(z.advance, -30);
    EXPECT_GE(z.advance, -99);
}

TEST(ZigzagPathTest, DoneOnlyNearTheTargetRowAndOutsideTheScene) {
    struct Case {
        int x, y;
        bool done;
    };
    // Target row 1120 lies below the scene: near it (within 10 rows) and outside the
    // scene is done; far from the row, or inside the scene, is not.
    for (Case c : {Case{100, 1115, true}, Case{100, 1130, true}, Case{100, 1131, false},
                   Case{100, 1109, false}, Case{-5, 1120, true}, Case{100, 500, false}}) {
        ZigzagPath z(100, -100, 0, 1120, 1, Random(7));
        z.x = c.x;
        z.y = c.y;
        EXPECT_EQ(z.IsDone(), c.done) << c.x << "," << c.y;
    }
    // A target row inside the scene is never done away from the edges.
    ZigzagPath inside(100, 0, 0, 500, 1, Random(7));
    inside.x = 100;
    inside.y = 500;
    EXPECT_FALSE(inside.IsDone());
}

TEST(ZigzagPathTest, ADuckFlightEndsBeyondTheSceneEdge) {
    ZigzagPath z(120, -150, 0, 1120, 9, Random(4242));
    int calls = 0;
    while (!z.IsDone() && calls < 5000) {
        z.Next();
        ++calls;
    }
    ASSERT_TRUE(z.IsDone());
    EXPECT_GE(z.y, 960);
}

TEST(SlidePathTest, SlidesOutPausesElevenChecksAndComesBack) {
    SlidePath p(240, 300, 132, 300, -10, 0, 10);
    int outSteps = 0;
    while (p.phase == 1) {
        ASSERT_FALSE(p.IsDone());
        if (p.phase != 1) break;
        p.Next();
        ++outSteps;
        ASSERT_LT(outSteps, 50);
    }
    EXPECT_EQ(p.x, 130);  // 240 - 11 * 10, the first point within 132 +- 5
    EXPECT_EQ(outSteps, 11);
    // Pausing: Next does not move; the pause lasts 11 IsDone calls.
    int pauseChecks = 0;
    while (p.phase == 0) {
        EXPECT_EQ(p.Next().x, 130);
        ASSERT_FALSE(p.IsDone());
        ++pauseChecks;
        ASSERT_LT(pauseChecks, 50);
    }
    EXPECT_EQ(pauseChecks, 11);
    int back = 0;
    while (!p.IsDone()) {
        p.Next();
        ++back;
        ASSERT_LT(back, 50);
    }
    EXPECT_EQ(p.x, 240);
    EXPECT_TRUE(p.IsDone());
}

TEST(PathFactoryTest, KindsOtherThanLineZigzagSlideMakeNoPath) {
    PathParams params;
    params.x1 = 100;
    params.speed = 1;
    for (int kind : {0, 2, 3, 6, -1, 99}) {
        EXPECT_EQ(makePath(kind, params), nullptr) << kind;
    }
    std::unique_ptr<Path> line(makePath(PATH_LINE, params));
    EXPECT_NE(dynamic_cast<LinePath*>(line.get()), nullptr);
    std::unique_ptr<Path> zig(makePath(PATH_ZIGZAG, params));
    EXPECT_NE(dynamic_cast<ZigzagPath*>(zig.get()), nullptr);
    std::unique_ptr<Path> slide(makePath(PATH_SLIDE, params));
    EXPECT_NE(dynamic_cast<SlidePath*>(slide.get()), nullptr);
}

}  // namespace
