// The desktop backend on SDL's dummy video driver: the picture it shows and the messages it
// makes of mouse and keyboard events.
#include "platform/sdl/desktop_window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/desktop_mapping.h"
#include "platform/platform.h"

namespace {

using namespace platform;

class DesktopWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_TRUE(createWindow());
    }

    static void push(SDL_Event ev) { ASSERT_EQ(SDL_PushEvent(&ev), 1); }

    static void pushKey(SDL_Keycode sym, bool down, uint16_t mod = 0, uint8_t repeat = 0) {
        SDL_Event ev{};
        ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        ev.key.keysym.sym = sym;
        ev.key.keysym.mod = mod;
        ev.key.repeat = repeat;
        push(ev);
    }

    static void pushButton(uint8_t button, bool down, int x, int y) {
        SDL_Event ev{};
        ev.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        ev.button.button = button;
        ev.button.x = x;
        ev.button.y = y;
        push(ev);
    }

    static void pushMotion(int x, int y) {
        SDL_Event ev{};
        ev.type = SDL_MOUSEMOTION;
        ev.motion.x = x;
        ev.motion.y = y;
        push(ev);
    }

    static Message next() {
        Message m;
        EXPECT_TRUE(getMessage(m));
        return m;
    }
    // The next message as (message, wParam).
    static std::pair<uint32_t, uint32_t> nextKey() {
        const Message m = next();
        return {m.message, m.wParam};
    }

    // The window position of the middle of landscape pixel (lx, ly).
    static void windowPoint(int lx, int ly, int& wx, int& wy) {
        int w = 0, h = 0;
        desktop::windowSize(w, h);
        const Viewport v = letterbox(w, h);
        wx = v.x + lx * v.scale + v.scale / 2;
        wy = v.y + ly * v.scale + v.scale / 2;
    }
};

TEST_F(DesktopWindow, PresentedRectanglesAreShownTurned) {
    std::vector<uint16_t> back(240 * 320, 0x07E0);
    back[0] = 0xF800;
    back[5 * 240 + 7] = 0x001F;
    const PresentRect rects[] = {{0, 0, 1, 1}, {7, 5, 8, 6}, {-10, 400, 50, 500}};
    present(back.data(), 240 * 2, rects, 3);
    const auto& frame = desktop::landscapeFrame();
    EXPECT_EQ(frame[0 * 320 + 319], 0xF800);
    EXPECT_EQ(frame[7 * 320 + 314], 0x001F);
    EXPECT_EQ(frame[100 * 320 + 100], 0);  // not presented yet
    presentAll(back.data(), 240 * 2);
    EXPECT_EQ(frame[100 * 320 + 100], 0x07E0);
}

TEST_F(DesktopWindow, LeftButtonIsThePenAtTheTurnedPosition) {
    int wx = 0, wy = 0;
    windowPoint(300, 50, wx, wy);  // landscape (300, 50) is device (50, 19)
    pushButton(SDL_BUTTON_LEFT, true, wx, wy);
    windowPoint(10, 200, wx, wy);
    pushMotion(wx, wy);
    pushButton(SDL_BUTTON_LEFT, false, wx, wy);
    pushMotion(wx + 5, wy);  // the pen is up: no message
    pushButton(SDL_BUTTON_RIGHT, true, wx, wy);
    pushButton(SDL_BUTTON_RIGHT, false, wx, wy);

    for (const auto& [message, x, y] :
         {std::tuple{MSG_LBUTTONDOWN, 50, 19}, {MSG_MOUSEMOVE, 200, 309}}) {
        const Message m = next();
        EXPECT_EQ(std::tuple(m.message, pointX(m.lParam), pointY(m.lParam)),
                  std::tuple(message, x, y));
    }
    EXPECT_EQ(next().message, MSG_LBUTTONUP);
    EXPECT_EQ(nextKey(), std::pair(MSG_HOTKEY, 195u));  // right button: reload
    EXPECT_EQ(nextKey(), std::pair(MSG_KEYUP, 195u));
}

TEST_F(DesktopWindow, KeysBecomeTheDevicesKeys) {
    pushKey(SDLK_RIGHT, true);
    pushKey(SDLK_RIGHT, true, 0, 1);  // auto-repeat: nothing new
    pushKey(SDLK_RIGHT, false);
    pushKey(SDLK_SPACE, true);
    pushKey(SDLK_2, true);
    pushKey(SDLK_2, false);
    pushKey(SDLK_a, true);  // means nothing
    pushKey(SDLK_DOWN, true);
    const std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {MSG_KEYDOWN, VK_UP}, {MSG_KEYUP, VK_UP}, {MSG_KEYDOWN, VK_RETURN},
        {MSG_HOTKEY, 194},    {MSG_KEYUP, 194},   {MSG_KEYDOWN, VK_RIGHT},
    };
    for (const auto& e : expected) EXPECT_EQ(nextKey(), e);
}

// Full-screen keys toggle without a message; a raise request is carried out by the wait.
TEST_F(DesktopWindow, FullscreenKeysAndRaiseRequestsAreHandledByTheMessageWait) {
    const bool before = desktop::isFullscreen();
    const int raises = desktop::raisesDone();
    desktop::requestRaise();
    pushKey(SDLK_F11, true);
    pushKey(SDLK_RETURN, true, KMOD_LALT);
    pushKey(SDLK_F11, true);
    pushKey(SDLK_1, true);
    EXPECT_EQ(nextKey(), std::pair(MSG_HOTKEY, 193u));
    EXPECT_NE(desktop::isFullscreen(), before);  // three toggles
    EXPECT_EQ(desktop::raisesDone(), raises + 1);
    ASSERT_TRUE(startTimer(10));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(next().message, MSG_TIMER);
    EXPECT_FALSE(startTimer(0));
}

TEST_F(DesktopWindow, ClosingTheWindowEndsTheMessageWait) {
    pushKey(SDLK_UP, true);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    push(quit);
    EXPECT_EQ(next().wParam, VK_LEFT);  // what came before the close still arrives
    Message m;
    EXPECT_FALSE(getMessage(m));
    EXPECT_FALSE(getMessage(m));
}

}  // namespace
