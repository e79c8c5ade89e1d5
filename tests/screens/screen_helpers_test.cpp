// Cutting a part of a picture so that drawing it stays inside the screen (the splash's
// logo and the credits' lines are drawn this way, partly off the screen at times).
#include "screens/screen_helpers.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(ClipToTarget, APartIsCutToItsPictureAndToTheScreen) {
    struct Case {
        Rect part;
        int x, y;
        bool left;  // anything left to draw
        Rect cut;
        int cx, cy;
    };
    // A 40 x 60 picture drawn into a 30 x 50 screen.
    const Case cases[] = {
        {{0, 0, 20, 20}, 5, 5, true, {0, 0, 20, 20}, 5, 5},      // inside: unchanged
        {{-3, -4, 50, 70}, 0, 0, true, {0, 0, 30, 50}, 0, 0},    // past the picture and screen
        {{10, 30, 40, 80}, 0, 0, true, {10, 30, 40, 60}, 0, 0},  // past the picture's bottom
        {{0, 0, 20, 20}, -5, -8, true, {5, 8, 20, 20}, 0, 0},    // above and left of the screen
        {{0, 0, 20, 20}, 25, 45, true, {0, 0, 5, 5}, 25, 45},    // past its right and bottom
        {{0, 0, 20, 20}, -20, 0, false, {20, 0, 20, 20}, 0, 0},  // wholly off to the left
        {{0, 0, 20, 20}, 0, 50, false, {0, 0, 20, 0}, 0, 50},    // wholly below
    };
    for (const Case& c : cases) {
        Rect part = c.part;
        int x = c.x, y = c.y;
        EXPECT_EQ(screens::clipToTarget(part, x, y, 40, 60, 30, 50), c.left)
            << c.part.left << "," << c.part.top << " at " << c.x << "," << c.y;
        EXPECT_EQ(std::tuple(part.left, part.top, part.right, part.bottom, x, y),
                  std::tuple(c.cut.left, c.cut.top, c.cut.right, c.cut.bottom, c.cx, c.cy))
            << c.part.left << "," << c.part.top << " at " << c.x << "," << c.y;
    }
}

}  // namespace
