// The desktop backend on SDL's dummy video driver: the picture it shows and the messages it
// makes of mouse and keyboard events.
#include "platform/sdl/desktop_window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/desktop_mapping.h"
#include "platform/platform.h"
#include "shown_pixel.h"

namespace {

using namespace platform;

class DesktopWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        // The window's size is remembered on the way out: never in the tester's own file.
        setenv("XDG_CONFIG_HOME", ::testing::TempDir().c_str(), 1);
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

    static void pushWindowEvent(uint8_t event) {
        SDL_Event ev{};
        ev.type = SDL_WINDOWEVENT;
        ev.window.event = event;
        push(ev);
    }

    static void pushFinger(uint32_t type, SDL_FingerID id, float x, float y) {
        SDL_Event ev{};
        ev.type = type;
        ev.tfinger.fingerId = id;
        ev.tfinger.x = x;
        ev.tfinger.y = y;
        push(ev);
    }

    static std::tuple<int, int, int> shownPixel(int lx, int ly) {
        return ::shownPixel(SDL_GetWindowFromID(1), lx, ly);
    }

    // Waits for messages (timer ticks) until `done` holds, at most a second of ticks.
    template <typename Done>
    static bool waitFor(Done done) {
        if (!startTimer(10)) return false;
        for (int i = 0; i < 100 && !done(); ++i) next();
        return done();
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

TEST_F(DesktopWindow, OpensWithItsFirstPictureAndShowsNothingWhileMinimised) {
    ASSERT_TRUE(desktop::usesWindowSurface());
    EXPECT_FALSE(desktop::windowShown());  // no empty or black window before the splash
    std::vector<uint16_t> back(240 * 320, 0xF800);
    presentAll(back.data(), 240 * 2);
    EXPECT_FALSE(desktop::windowShown());  // shown by the message wait, not by the present
    sleepMs(0);
    EXPECT_FALSE(desktop::windowShown());  // nor by a sleep while the game is starting
    pushKey(SDLK_SPACE, true);
    next();
    EXPECT_FALSE(desktop::windowShown());  // and only after the first tick's frame
    EXPECT_TRUE(waitFor([] { return desktop::windowShown(); }));
    EXPECT_EQ(shownPixel(0, 0), std::tuple(255, 0, 0));

    pushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    EXPECT_EQ(nextKey(), std::pair(MSG_SIZE, SIZE_MINIMIZED));
    std::fill(back.begin(), back.end(), 0x001F);
    presentAll(back.data(), 240 * 2);
    EXPECT_FALSE(waitFor([] { return shownPixel(0, 0) != std::tuple(255, 0, 0); }));
    pushWindowEvent(SDL_WINDOWEVENT_RESTORED);
    EXPECT_TRUE(waitFor([] { return shownPixel(0, 0) == std::tuple(0, 0, 255); }));
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    for (Message m; getMessage(m);) {
        if (m.message == MSG_TIMER) continue;
        EXPECT_EQ(std::pair(m.message, m.wParam), std::pair(MSG_ACTIVATE, WA_INACTIVE));
        break;
    }
}

// Enter pressed alone, then Alt, then Enter released: the release comes through.
TEST_F(DesktopWindow, AnEnterReleasedWhileAltIsHeldStillComesUp) {
    pushKey(SDLK_RETURN, true);
    pushKey(SDLK_LALT, true, KMOD_LALT);
    pushKey(SDLK_RETURN, false, KMOD_LALT);
    pushKey(SDLK_RETURN, true, KMOD_LALT);  // now the shortcut: no key for the game
    pushKey(SDLK_RETURN, false, KMOD_LALT);
    const bool before = desktop::isFullscreen();
    EXPECT_EQ(nextKey(), std::pair(MSG_KEYDOWN, VK_RETURN));
    EXPECT_EQ(nextKey(), std::pair(MSG_KEYUP, VK_RETURN));
    EXPECT_EQ(nextKey(), std::pair(MSG_KEYUP, VK_RETURN));
    EXPECT_NE(desktop::isFullscreen(), before);
}

TEST_F(DesktopWindow, APenDownInTheBarsDoesNothingAndFingersAreTheStylus) {
    SDL_SetWindowSize(SDL_GetWindowFromID(1), 1000, 740);  // bars of 20 and 10 pixels
    pushButton(SDL_BUTTON_LEFT, true, 10, 300);            // in the left bar, beside the pause icon
    pushMotion(30, 300);
    pushButton(SDL_BUTTON_LEFT, false, 30, 300);
    // A finger in the middle of landscape pixel (160, 120); a second finger is ignored
    // and so is the mouse SDL makes of the touch.
    const float fx = (20 + 160 * 3 + 1) / 1000.0f, fy = (10 + 120 * 3 + 1) / 740.0f;
    pushFinger(SDL_FINGERDOWN, 7, fx, fy);
    pushFinger(SDL_FINGERDOWN, 8, 0.1f, 0.1f);
    SDL_Event touchMouse{};
    touchMouse.type = SDL_MOUSEBUTTONDOWN;
    touchMouse.button.which = SDL_TOUCH_MOUSEID;
    touchMouse.button.button = SDL_BUTTON_LEFT;
    push(touchMouse);
    pushFinger(SDL_FINGERMOTION, 7, 0.0f, fy);  // off the picture: kept to its edge
    pushFinger(SDL_FINGERUP, 7, 0.0f, fy);
    const std::tuple<uint32_t, int, int> expected[] = {
        {MSG_LBUTTONDOWN, 120, 159}, {MSG_MOUSEMOVE, 120, 319}, {MSG_LBUTTONUP, 120, 319}};
    for (const auto& e : expected) {
        const Message m = next();
        EXPECT_EQ(std::tuple(m.message, int{pointX(m.lParam)}, int{pointY(m.lParam)}), e);
    }
}

// A controller made with SDL's virtual joystick: the stick moves the aim mark, A taps
// the stylus there, B reloads, Start asks for the pause menu, unplugging lets go.
TEST_F(DesktopWindow, AVirtualControllerAimsTapsReloadsAndPauses) {
    // SDL passes a controller on only to a window with the keyboard focus, which the
    // dummy driver's window never has.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ASSERT_TRUE(waitFor([] { return SDL_WasInit(SDL_INIT_GAMECONTROLLER) != 0; }));
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* stick = SDL_JoystickOpen(index);
    ASSERT_NE(stick, nullptr);
    bool shown = false;
    int startX = 0, startY = 0;
    SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, 32767);
    ASSERT_TRUE(waitFor([&] {
        desktop::aimMark(shown, startX, startY);
        return shown;
    }));
    ASSERT_TRUE(waitFor([&] {  // right on the picture is up on the device
        int dx = 0, dy = 0;
        desktop::aimMark(shown, dx, dy);
        return dy < startY - 20;
    }));
    SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, 0);
    next();
    int dx = 0, dy = 0;
    desktop::aimMark(shown, dx, dy);
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_A, 1);
    auto nextInput = [] {
        Message m = next();
        while (m.message == MSG_TIMER) m = next();
        return m;
    };
    Message m = nextInput();
    EXPECT_EQ(std::tuple(m.message, int{pointX(m.lParam)}, int{pointY(m.lParam)}),
              std::tuple(MSG_LBUTTONDOWN, dx, dy));
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_A, 0);
    EXPECT_EQ(nextInput().message, MSG_LBUTTONUP);
    // The mouse takes over as soon as it moves: the mark goes.
    pushMotion(10, 10);
    for (int i = 0; i < 5 && shown; ++i) {
        next();
        desktop::aimMark(shown, dx, dy);
    }
    EXPECT_FALSE(shown);
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_B, 1);
    m = nextInput();
    EXPECT_EQ(std::pair(m.message, m.wParam), std::pair(MSG_HOTKEY, 195u));
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_START, 1);
    m = nextInput();
    EXPECT_EQ(std::pair(m.message, m.wParam), std::pair(MSG_KEYDOWN, VK_PAUSE));
    SDL_JoystickClose(stick);
    SDL_JoystickDetachVirtual(index);
    // Unplugged with B and Start held: both come up.
    m = nextInput();
    EXPECT_EQ(std::pair(m.message, m.wParam), std::pair(MSG_KEYUP, 195u));
    m = nextInput();
    EXPECT_EQ(std::pair(m.message, m.wParam), std::pair(MSG_KEYUP, VK_PAUSE));
}

// Without a display SDL would run on an invisible driver: the window is refused instead,
// with the reason, unless a driver was asked for by name.
TEST(DesktopStart, WithoutADisplayTheWindowIsRefusedWithTheReason) {
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("WAYLAND_DISPLAY");
    const std::pair<const char*, const char*> cases[] = {
        {nullptr, "no display: set DISPLAY or WAYLAND_DISPLAY"},
        {"", "no display: set DISPLAY or WAYLAND_DISPLAY"},
        {":9999", "no display: "},  // a display nobody serves
    };
    for (const auto& [display, said] : cases) {
        if (display != nullptr)
            setenv("DISPLAY", display, 1);
        else
            unsetenv("DISPLAY");
        testing::internal::CaptureStderr();
        EXPECT_FALSE(createWindow());
        const std::string text = testing::internal::GetCapturedStderr();
        EXPECT_NE(text.find(said), std::string::npos) << text;
    }
    unsetenv("DISPLAY");
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    EXPECT_TRUE(createWindow());
}

}  // namespace
