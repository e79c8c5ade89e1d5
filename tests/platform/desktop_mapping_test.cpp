// The desktop's arithmetic: the turned picture, integer scaling with bars, the mouse, the keys.
#include "platform/desktop_mapping.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using namespace platform;
using P = std::pair<int, int>;

P toLandscape(int dx, int dy) {
    int lx = -1, ly = -1;
    deviceToLandscape(dx, dy, lx, ly);
    return {lx, ly};
}

TEST(Orientation, CornersLandWhereThePlayerSeesThem) {
    const int cases[][4] = {
        {0, 0, 319, 0}, {0, 319, 0, 0}, {239, 0, 319, 239}, {239, 319, 0, 239}, {7, 5, 314, 7},
    };
    for (const auto& [dx, dy, lx, ly] : cases) EXPECT_EQ(toLandscape(dx, dy), P(lx, ly)) << dx;
    // Every device pixel has its own landscape pixel, and the way back leads to it.
    std::vector<int> hits(kLandscapeWidth * kLandscapeHeight, 0);
    for (int dy = 0; dy < kDeviceHeight; ++dy) {
        for (int dx = 0; dx < kDeviceWidth; ++dx) {
            const auto [lx, ly] = toLandscape(dx, dy);
            ASSERT_TRUE(lx >= 0 && lx < kLandscapeWidth && ly >= 0 && ly < kLandscapeHeight);
            ++hits[ly * kLandscapeWidth + lx];
            int bx = 0, by = 0;
            landscapeToDevice(lx, ly, bx, by);
            ASSERT_EQ(P(bx, by), P(dx, dy));
        }
    }
    for (int h : hits) ASSERT_EQ(h, 1);
}

TEST(Scaling, LetterboxKeepsAnIntegerScaleCentredAndTheFirstWindowIsThreeTimesOrWhatFits) {
    const int boxes[][5] = {
        {960, 720, 3, 0, 0},      {1000, 720, 3, 20, 0}, {959, 720, 2, 159, 120},
        {640, 720, 2, 0, 120},    {320, 240, 1, 0, 0},   {1920, 1080, 4, 320, 60},
        {100, 100, 1, -110, -70},  // smaller than one picture: scale 1, cut at the edges
    };
    for (const auto& [w, h, scale, x, y] : boxes) {
        const Viewport v = letterbox(w, h);
        EXPECT_EQ((std::array{v.scale, v.x, v.y}), (std::array{scale, x, y})) << w << "x" << h;
    }
    // desktop size, scale asked for (0: none), scale given
    const int first[][4] = {
        {3840, 2160, 0, 3}, {1280, 720, 0, 3},   {959, 1000, 0, 2}, {800, 600, 0, 2},
        {640, 479, 0, 1},   {320, 240, 0, 1},    {200, 100, 0, 1},  {3840, 2160, 5, 5},
        {3840, 2160, 9, 9}, {3840, 2160, 10, 9}, {1280, 720, 1, 1}, {1280, 720, 4, 3},
        {200, 100, 2, 1},
    };
    for (const auto& [w, h, asked, scale] : first)
        EXPECT_EQ(initialScale(w, h, asked), scale) << w << "x" << h << " asked " << asked;
}

TEST(Scaling, MouseBackToThePenClampedToTheScreen) {
    const Viewport v{20, 10, 3};  // a 1000 x 740 window
    const int cases[][4] = {
        {22, 12, 0, 319},    {23, 10, 0, 318},     {20 + 959, 10 + 719, 239, 0},
        {19, 9, 0, 319},     {5000, 5000, 239, 0}, {-40, 300, (300 - 10) / 3, 319},
        {320, 160, 50, 219},
    };
    for (const auto& [wx, wy, edx, edy] : cases) {
        int dx = -1, dy = -1;
        windowToDevice(v, wx, wy, dx, dy);
        EXPECT_EQ(P(dx, dy), P(edx, edy)) << wx << "," << wy;
    }
}

TEST(Keys, ArrowsTurnWithThePictureButtonsGoThroughHotKeys) {
    using D = DesktopKey;
    const std::tuple<DesktopKey, bool, uint32_t, uint32_t> cases[] = {
        {D::Right, true, MSG_KEYDOWN, VK_UP},    {D::Left, true, MSG_KEYDOWN, VK_DOWN},
        {D::Up, true, MSG_KEYDOWN, VK_LEFT},     {D::Down, true, MSG_KEYDOWN, VK_RIGHT},
        {D::Right, false, MSG_KEYUP, VK_UP},     {D::Enter, true, MSG_KEYDOWN, VK_RETURN},
        {D::Space, false, MSG_KEYUP, VK_RETURN}, {D::Digit1, true, MSG_HOTKEY, 193},
        {D::Digit2, true, MSG_HOTKEY, 194},      {D::Digit4, true, MSG_HOTKEY, 196},
        {D::Digit1, false, MSG_KEYUP, 193},      {D::Digit4, false, MSG_KEYUP, 196},
    };
    for (const auto& [key, pressed, message, code] : cases) {
        Message m;
        ASSERT_TRUE(keyMessage(key, pressed, m));
        EXPECT_EQ(std::pair(m.message, m.wParam), std::pair(message, code))
            << static_cast<int>(key) << " " << pressed;
    }
}

}  // namespace
