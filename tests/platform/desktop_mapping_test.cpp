// The desktop's arithmetic: the turned picture, integer scaling with bars, the mouse, the keys.
#include "platform/desktop_mapping.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/gamepad_mapping.h"
#include "platform/window_state.h"

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
    // A viewport without a scale yet (a window smaller than the picture, one not laid
    // out) maps pixel for pixel instead of dividing by nothing.
    for (const int scale : {0, -1}) {
        int dx = -1, dy = -1;
        EXPECT_TRUE(windowToDevice({-110, -70, scale}, 50, 50, dx, dy)) << scale;
        EXPECT_EQ(P(dx, dy), P(120, 159)) << scale;  // landscape (160, 120)
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

// On a HiDPI display the window measures the pointer in units of two pixels while the
// picture is laid out in pixels: the pen must land under the pointer all the same.
TEST(Scaling, PointerMapsThroughTheViewportAtTwiceThePixels) {
    const WindowGeometry twice{500, 370, 1000, 740};  // picture at 3x, bars of 20 and 10 pixels
    const std::tuple<double, double, bool, int, int> cases[] = {
        {11, 5, true, 0, 319},    // pixel (22, 10): the picture's top-left pixel
        {9.9, 5, false, 0, 319},  // pixel 19: in the bar, clamped
        {(20 + 959) / 2.0, 5, true, 0, 0},
        {160, 80, true, 50, 219},   // pixel (320, 160): landscape (100, 50)
        {499, 369, false, 239, 0},  // the bottom-right bar
    };
    for (const auto& [wx, wy, inside, edx, edy] : cases) {
        int dx = -1, dy = -1;
        EXPECT_EQ(pointerToDevice(twice, wx, wy, dx, dy), inside) << wx << "," << wy;
        EXPECT_EQ(P(dx, dy), P(edx, edy)) << wx << "," << wy;
    }
    // The same points at one pixel per unit land elsewhere: the ratio matters.
    int dx = 0, dy = 0;
    pointerToDevice({1000, 740, 1000, 740}, 160, 80, dx, dy);
    EXPECT_EQ(P(dx, dy), P(23, 273));
}

TEST(Stylus, APressInTheBarsDoesNothingAndADragThatLeavesKeepsToTheEdge) {
    const WindowGeometry g{1000, 740, 1000, 740};  // picture at (20, 10), 960 x 720
    Stylus pen;
    Message m;
    EXPECT_FALSE(pen.press(g, 5, 300, m));  // left bar: the edge button stays unpressed
    EXPECT_FALSE(pen.move(g, 30, 300, m));
    EXPECT_FALSE(pen.release(g, 30, 300, m));
    ASSERT_TRUE(pen.press(g, 500, 300, m));
    EXPECT_EQ(m.message, MSG_LBUTTONDOWN);
    EXPECT_FALSE(pen.press(g, 600, 300, m));  // already down
    ASSERT_TRUE(pen.move(g, 5, 300, m));
    EXPECT_EQ(std::tuple(m.message, pointX(m.lParam), pointY(m.lParam)),
              std::tuple(MSG_MOUSEMOVE, (300 - 10) / 3, 319));
    ASSERT_TRUE(pen.release(g, 999, 739, m));
    EXPECT_EQ(std::tuple(m.message, pointX(m.lParam), pointY(m.lParam)),
              std::tuple(MSG_LBUTTONUP, 239, 0));
    EXPECT_FALSE(pen.held());
}

// Enter pressed alone, then Alt, then Enter released: the release must reach the game,
// or the action key stays held for ever.
TEST(Keys, FullscreenShortcutsActOnPressesAndEveryReleaseReachesTheGame) {
    using D = DesktopKey;
    using A = KeyAction;
    const std::tuple<D, bool, bool, bool, A, uint32_t, uint32_t> cases[] = {
        // key, pressed, repeat, alt -> action, message, code
        {D::Enter, true, false, false, A::Send, MSG_KEYDOWN, VK_RETURN},
        {D::Enter, false, false, true, A::Send, MSG_KEYUP, VK_RETURN},
        {D::Enter, true, false, true, A::ToggleFullscreen, 0, 0},
        {D::Enter, true, true, true, A::Nothing, 0, 0},
        {D::F11, true, false, false, A::ToggleFullscreen, 0, 0},
        {D::F11, false, false, false, A::Nothing, 0, 0},
        {D::Right, true, true, false, A::Nothing, 0, 0},
        {D::Escape, true, false, false, A::Send, MSG_KEYDOWN, VK_ESCAPE},
        {D::P, false, false, true, A::Send, MSG_KEYUP, VK_PAUSE},
        {D::Digit3, false, false, true, A::Send, MSG_KEYUP, 195},
    };
    for (const auto& [key, pressed, repeat, alt, action, message, code] : cases) {
        Message m{0, 0, 0};
        const A got = keyAction(key, pressed, repeat, alt, m);
        EXPECT_EQ(got, action) << static_cast<int>(key) << pressed << repeat << alt;
        // Only a message that is sent is filled in.
        EXPECT_EQ(std::pair(m.message, m.wParam), std::pair(message, code))
            << static_cast<int>(key);
    }
}

TEST(Gamepad, FullDeflectionCrossesThePictureInAboutSevenTenthsOfASecond) {
    GamepadMapping pad;
    std::vector<Message> out;
    EXPECT_FALSE(pad.markShown());
    pad.stick(-32768, 0);
    for (int t = 0; t < 1000; t += 10) pad.advance(10, out);  // to the left edge
    EXPECT_EQ(pad.markX(), 0.0);
    pad.stick(32767, 0);
    int ms = 0;
    while (pad.markX() < kLandscapeWidth - 1 && ms < 2000) {
        pad.advance(10, out);
        ms += 10;
    }
    EXPECT_GE(ms, 650);
    EXPECT_LE(ms, 750);
    EXPECT_TRUE(pad.markShown());
    EXPECT_TRUE(out.empty());  // moving without A touches nothing
    // A resting stick does not drift; half way the mark crawls at a quarter of the speed.
    const double x = pad.markX();
    pad.stick(GamepadMapping::kDeadZone, -GamepadMapping::kDeadZone);
    pad.advance(10, out);
    EXPECT_EQ(pad.markX(), x);
    pad.stick(-(32767 + GamepadMapping::kDeadZone) / 2, 0);
    pad.advance(40, out);
    EXPECT_NEAR(x - pad.markX(), kLandscapeWidth / GamepadMapping::kCrossingMs * 40 / 4, 0.01);
    // A stall of the machine does not fling the mark.
    pad.stick(0, 32767);
    const double y = pad.markY();
    pad.advance(5000, out);
    EXPECT_LT(pad.markY() - y, 30.0);
}

TEST(Gamepad, ButtonsEndInThePenTheReloadButtonTheArrowsAndThePauseKey) {
    GamepadMapping pad;
    std::vector<Message> out;
    auto take = [&out] {
        std::vector<std::pair<uint32_t, uint32_t>> got;
        for (const Message& m : out) got.emplace_back(m.message, m.wParam);
        out.clear();
        return got;
    };
    using V = std::vector<std::pair<uint32_t, uint32_t>>;
    pad.button(PadButton::A, true, out);
    int dx = 0, dy = 0;
    pad.markDevice(dx, dy);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(std::tuple(out[0].message, pointX(out[0].lParam), pointY(out[0].lParam)),
              std::tuple(MSG_LBUTTONDOWN, dx, dy));
    EXPECT_EQ(P(dx, dy), P(120, 159));  // the mark starts in the middle
    take();
    pad.button(PadButton::A, true, out);  // still held: nothing new
    pad.button(PadButton::DpadRight, true, out);
    pad.advance(10, out);  // a drag with A held
    pad.button(PadButton::DpadRight, false, out);
    pad.button(PadButton::A, false, out);
    EXPECT_EQ(take(), (V{{MSG_MOUSEMOVE, 0}, {MSG_LBUTTONUP, 0}}));
    // B and the right trigger are one button: down with the first, up with the last.
    pad.button(PadButton::B, true, out);
    pad.rightTrigger(GamepadMapping::kTriggerPressed, out);
    pad.button(PadButton::B, false, out);
    pad.rightTrigger(GamepadMapping::kTriggerReleased + 1, out);  // not yet let go
    pad.rightTrigger(GamepadMapping::kTriggerReleased, out);
    EXPECT_EQ(take(), (V{{MSG_HOTKEY, 195}, {MSG_KEYUP, 195}}));
    pad.button(PadButton::LeftShoulder, true, out);
    pad.button(PadButton::RightShoulder, true, out);
    pad.button(PadButton::Start, true, out);
    pad.button(PadButton::Start, false, out);
    EXPECT_EQ(take(), (V{{MSG_KEYDOWN, VK_DOWN},
                         {MSG_KEYDOWN, VK_UP},
                         {MSG_KEYDOWN, VK_PAUSE},
                         {MSG_KEYUP, VK_PAUSE}}));
    // Unplugged with the shoulders and A held: everything comes up.
    pad.button(PadButton::A, true, out);
    take();
    pad.releaseAll(out);
    EXPECT_EQ(take(), (V{{MSG_LBUTTONUP, 0}, {MSG_KEYUP, VK_DOWN}, {MSG_KEYUP, VK_UP}}));
    pad.releaseAll(out);
    EXPECT_TRUE(out.empty());
}

TEST(WindowState, ReadBackAsWrittenAndDamagedLinesAreRefused) {
    const WindowState s{-40, 25, 961, 721, true};
    WindowState back;
    ASSERT_TRUE(parseWindowState(formatWindowState(s), back));
    EXPECT_EQ(std::tuple(back.x, back.y, back.width, back.height, back.fullscreen),
              std::tuple(-40, 25, 961, 721, true));
    for (const char* bad :
         {"", "window 1 2 3", "window 1 2 0 5 0", "window 1 2 300 200 2", "window 1 2 300 200 0 x",
          "win 1 2 300 200 0", "window 1 2 999999999 200 0"}) {
        WindowState untouched = s;
        EXPECT_FALSE(parseWindowState(bad, untouched)) << bad;
        EXPECT_EQ(untouched.width, 961) << bad;
    }
}

TEST(WindowState, AWindowFromALargerScreenOpensWhollyOnTheSmallerOne) {
    const std::vector<ScreenArea> laptop = {{0, 0, 1366, 768}};
    const std::vector<ScreenArea> two = {{0, 0, 1366, 768}, {1366, 0, 1920, 1050}};
    const std::tuple<WindowState, std::vector<ScreenArea>, WindowState> cases[] = {
        // Fits where it was: kept.
        {{100, 40, 960, 720, false}, laptop, {100, 40, 960, 720, false}},
        // Was on a second screen that is gone: on the first, moved in.
        {{2000, 100, 960, 720, false}, laptop, {406, 48, 960, 720, false}},
        // Still on the second screen: stays there.
        {{2000, 100, 960, 720, true}, two, {2000, 100, 960, 720, true}},
        // Larger than the screen: cut to it.
        {{0, 0, 1920, 1440, false}, laptop, {0, 0, 1366, 768, false}},
        // Off the top-left: pulled in; never smaller than the picture.
        {{-500, -300, 100, 100, false}, laptop, {0, 0, 320, 240, false}},
    };
    for (const auto& [remembered, screens, expected] : cases) {
        const WindowState got = fitOnScreens(remembered, screens, 320, 240);
        EXPECT_EQ(std::tuple(got.x, got.y, got.width, got.height, got.fullscreen),
                  std::tuple(expected.x, expected.y, expected.width, expected.height,
                             expected.fullscreen))
            << remembered.x << "," << remembered.y;
    }
}

TEST(Keys, TheBrowsersKeyNamesMeanTheSameKeysAsOnTheDesktop) {
    using D = DesktopKey;
    const std::pair<const char*, DesktopKey> known[] = {
        {"ArrowLeft", D::Left}, {"ArrowRight", D::Right}, {"ArrowUp", D::Up},
        {"ArrowDown", D::Down}, {"Enter", D::Enter},      {"NumpadEnter", D::Enter},
        {"Space", D::Space},    {"Digit1", D::Digit1},    {"Digit4", D::Digit4},
        {"Escape", D::Escape},  {"KeyP", D::P},           {"F11", D::F11},
    };
    for (const auto& [code, expected] : known) {
        DesktopKey key = D::Digit3;
        ASSERT_TRUE(keyFromBrowserCode(code, key)) << code;
        EXPECT_EQ(key, expected) << code;
    }
    // Names of other keys, near misses and the empty name mean nothing.
    for (const char* code : {"", "Digit5", "Numpad1", "KeyA", "arrowleft", "ArrowLeftX", "F12"}) {
        DesktopKey key = D::Digit3;
        EXPECT_FALSE(keyFromBrowserCode(code, key)) << code;
        EXPECT_EQ(key, D::Digit3) << code;
    }
}

}  // namespace
