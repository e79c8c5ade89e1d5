// The desktop's arithmetic: the turned picture, integer scaling with bars, the mouse
// back to the pen, and the keys.
#include "platform/desktop_mapping.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;

TEST(Orientation, CornersLandWhereThePlayerSeesThem) {
    struct Case {
        int dx, dy, lx, ly;
    };
    const Case cases[] = {
        {0, 0, 319, 0},      // device top-left: landscape top-right
        {0, 319, 0, 0},      // device bottom-left: landscape top-left
        {239, 0, 319, 239},  // device top-right: landscape bottom-right
        {239, 319, 0, 239}, {7, 5, 314, 7},
    };
    for (const Case& c : cases) {
        int lx = -1, ly = -1;
        deviceToLandscape(c.dx, c.dy, lx, ly);
        EXPECT_EQ(lx, c.lx) << c.dx << "," << c.dy;
        EXPECT_EQ(ly, c.ly) << c.dx << "," << c.dy;
    }
    // Every device pixel has its own landscape pixel, and the way back leads to it.
    std::vector<int> hits(kLandscapeWidth * kLandscapeHeight, 0);
    for (int dy = 0; dy < kDeviceHeight; ++dy) {
        for (int dx = 0; dx < kDeviceWidth; ++dx) {
            int lx = 0, ly = 0;
            deviceToLandscape(dx, dy, lx, ly);
            ASSERT_TRUE(lx >= 0 && lx < kLandscapeWidth && ly >= 0 && ly < kLandscapeHeight);
            ++hits[ly * kLandscapeWidth + lx];
            int bx = 0, by = 0;
            landscapeToDevice(lx, ly, bx, by);
            ASSERT_EQ(bx, dx);
            ASSERT_EQ(by, dy);
        }
    }
    for (int h : hits) ASSERT_EQ(h, 1);
}

TEST(Scaling, LetterboxKeepsAnIntegerScaleCentred) {
    struct Case {
        int w, h, scale, x, y;
    };
    const Case cases[] = {
        {960, 720, 3, 0, 0},      {1000, 720, 3, 20, 0}, {959, 720, 2, 159, 120},
        {640, 720, 2, 0, 120},    {320, 240, 1, 0, 0},   {1920, 1080, 4, 320, 60},
        {100, 100, 1, -110, -70},  // smaller than one picture: still scale 1, cut at the edges
    };
    for (const Case& c : cases) {
        const Viewport v = letterbox(c.w, c.h);
        EXPECT_EQ(v.scale, c.scale) << c.w << "x" << c.h;
        EXPECT_EQ(v.x, c.x) << c.w << "x" << c.h;
        EXPECT_EQ(v.y, c.y) << c.w << "x" << c.h;
    }
}

TEST(Scaling, FirstWindowIsThreeTimesOrWhatFits) {
    struct Case {
        int w, h, scale;
    };
    const Case cases[] = {{3840, 2160, 3}, {1280, 720, 3}, {959, 1000, 2}, {800, 600, 2},
                          {640, 479, 1},   {320, 240, 1},  {200, 100, 1}};
    for (const Case& c : cases) EXPECT_EQ(initialScale(c.w, c.h), c.scale) << c.w << "x" << c.h;
}

TEST(Scaling, MouseBackToThePenClampedToTheScreen) {
    const Viewport v{20, 10, 3};  // a 1000 x 740 window
    struct Case {
        int wx, wy, dx, dy;
    };
    const Case cases[] = {
        {22, 12, 0, 319},                 // still the same landscape pixel
        {23, 10, 0, 318},                 // next one to the right
        {20 + 959, 10 + 719, 239, 0},     // last pixel of the picture
        {19, 9, 0, 319},                  // just left of and above the bars: clamped
        {5000, 5000, 239, 0},             // far outside
        {-40, 300, (300 - 10) / 3, 319},  // outside the window to the left
        {20 + 3 * 100, 10 + 3 * 50, 50, 219},
    };
    for (const Case& c : cases) {
        int dx = -1, dy = -1;
        windowToDevice(v, c.wx, c.wy, dx, dy);
        EXPECT_EQ(dx, c.dx) << c.wx << "," << c.wy;
        EXPECT_EQ(dy, c.dy) << c.wx << "," << c.wy;
    }
}

TEST(Keys, ArrowsTurnWithThePictureButtonsGoThroughHotKeys) {
    struct Case {
        DesktopKey key;
        bool pressed;
        uint32_t message, code;
    };
    const Case cases[] = {
        {DesktopKey::Right, true, MSG_KEYDOWN, VK_UP},
        {DesktopKey::Left, true, MSG_KEYDOWN, VK_DOWN},
        {DesktopKey::Up, true, MSG_KEYDOWN, VK_LEFT},
        {DesktopKey::Down, true, MSG_KEYDOWN, VK_RIGHT},
        {DesktopKey::Right, false, MSG_KEYUP, VK_UP},
        {DesktopKey::Enter, true, MSG_KEYDOWN, VK_RETURN},
        {DesktopKey::Space, false, MSG_KEYUP, VK_RETURN},
        {DesktopKey::Digit1, true, MSG_HOTKEY, 193},
        {DesktopKey::Digit2, true, MSG_HOTKEY, 194},
        {DesktopKey::Digit4, true, MSG_HOTKEY, 196},
        {DesktopKey::Digit1, false, MSG_KEYUP, 193},
        {DesktopKey::Digit4, false, MSG_KEYUP, 196},
    };
    for (const Case& c : cases) {
        Message m;
        ASSERT_TRUE(keyMessage(c.key, c.pressed, m));
        EXPECT_EQ(m.message, c.message) << static_cast<int>(c.key) << " " << c.pressed;
        EXPECT_EQ(m.wParam, c.code) << static_cast<int>(c.key) << " " << c.pressed;
    }
}

}  // namespace
