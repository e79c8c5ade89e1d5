// The desktop window: opening it, the message wait that turns SDL events into the
// game's window messages, the 10 ms timer, message boxes and the cursor. The picture
// itself is the presenter's; keyboard, mouse, touch and controllers are desktop_input's.
#include "platform/sdl/desktop_window.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "platform/desktop_mapping.h"
#include "platform/platform.h"
#include "platform/sdl/desktop_state.h"
#include "platform/sdl/window_identity.h"
#include "platform/sdl/window_memory.h"
#include "platform/sdl/window_options.h"
#include "platform/window_state.h"

namespace platform {
namespace desktop {

Desktop& state() {
    static Desktop d;
    return d;
}

namespace {

void raiseWindow() {
    Desktop& d = state();
    if (d.window == nullptr) return;
    SDL_RestoreWindow(d.window);
    SDL_RaiseWindow(d.window);
    ++d.raisesDone;
}

// The window as it is to be remembered: its size and place when it is an ordinary
// window (not fullscreen, maximised or minimised), and whether it is fullscreen.
WindowState remembered;

bool ordinaryWindow() {
    const uint32_t flags = SDL_GetWindowFlags(state().window);
    return (flags & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED)) == 0;
}

void rememberWindow() {
    saveWindowState(remembered);
}

void windowEvent(const SDL_WindowEvent& ev) {
    Desktop& d = state();
    switch (ev.event) {
        case SDL_WINDOWEVENT_CLOSE:
            d.closed = true;
            return;
        case SDL_WINDOWEVENT_MOVED:
            if (ordinaryWindow()) {
                remembered.x = ev.data1;
                remembered.y = ev.data2;
            }
            return;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (ordinaryWindow()) {
                remembered.width = ev.data1;
                remembered.height = ev.data2;
            }
            d.presenter.invalidate();
            return;
        case SDL_WINDOWEVENT_EXPOSED:
            // Exposing the window shows the last picture again; it never makes a frame.
            d.presenter.invalidate();
            return;
        case SDL_WINDOWEVENT_HIDDEN:
            d.presenter.setVisible(false);
            return;
        case SDL_WINDOWEVENT_MINIMIZED:
            d.presenter.setVisible(false);
            d.pending.push_back(minimisedMessage());
            return;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            d.presenter.setVisible(true);
            return;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            d.pending.push_back(focusLostMessage());
            return;
        default:
            return;
    }
}

// Turns one SDL event into messages on the pending queue.
void translate(const SDL_Event& ev) {
    Desktop& d = state();
    if (d.raiseEvent != 0 && ev.type == d.raiseEvent) return;  // handled after every event
    if (ev.type == SDL_QUIT) {
        d.closed = true;
    } else if (ev.type == SDL_WINDOWEVENT) {
        windowEvent(ev.window);
    } else {
        translateInput(ev);
    }
}

uint64_t startedAtUs = 0;
uint64_t firstShowAtUs = 0;
double firstShowCpuMs = 0;  // the process's own CPU time until then

uint64_t wallUs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<microseconds>(system_clock::now().time_since_epoch()).count());
}

uint64_t steadyUs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

// Shows what changed when it is due; notes when the first picture went up.
int64_t showIfDue() {
    Desktop& d = state();
    const bool before = d.presenter.hasShown();
    const int64_t wait = d.presenter.showIfDue(steadyUs());
    if (!before && d.presenter.hasShown()) {
        firstShowAtUs = wallUs();
        firstShowCpuMs = static_cast<double>(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
    }
    return wait;
}

// The game's heartbeat: a tick that falls due becomes a timer message.
bool tickIfDue() {
    Desktop& d = state();
    if (!d.heartbeat.due(steadyUs())) return false;
    d.pending.push_back(Message{MSG_TIMER, 15000, 0});
    pollControllers();
    return true;
}

// For bench/window_cpu.py: what the window did, printed at exit.
void printStats() {
    const Desktop& d = state();
    std::fprintf(stderr,
                 "tallreed: window stats: first picture at %.6f s (%.1f ms after the "
                 "window was made, %.1f ms of CPU), %llu timer ticks, %llu merged, %llu shows, "
                 "%s, %llu pixels shown\n",
                 static_cast<double>(firstShowAtUs) / 1e6,
                 static_cast<double>(firstShowAtUs - startedAtUs) / 1e3, firstShowCpuMs,
                 static_cast<unsigned long long>(d.heartbeat.ticks()),
                 static_cast<unsigned long long>(d.heartbeat.merged()),
                 static_cast<unsigned long long>(d.presenter.shows()),
                 d.presenter.usesWindowSurface() ? "window surface" : "renderer",
                 static_cast<unsigned long long>(d.presenter.pixelsShown()));
}

// Without a display SDL goes on with a driver that shows nothing (offscreen, dummy,
// evdev), and a player who started the game from a menu would wait for a window that
// never comes. Such a driver is used only when asked for by name (SDL_VIDEODRIVER).
bool startVideo(bool report) {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    const bool chosen = asked != nullptr && asked[0] != '\0';
    auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v != nullptr && v[0] != '\0';
    };
    if (!chosen && !set("DISPLAY") && !set("WAYLAND_DISPLAY")) {
        if (report) std::fprintf(stderr, "tallreed: no display: set DISPLAY or WAYLAND_DISPLAY\n");
        return false;
    }
    // The game takes no typed text, yet X's input method would read the locale's whole
    // table of compose sequences (thousands of lines) on every start, before the first
    // picture. A table the player chose is left alone.
    setenv("XCOMPOSEFILE", "/dev/null", 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (report) std::fprintf(stderr, "tallreed: no display: %s\n", SDL_GetError());
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    const std::string name = driver != nullptr ? driver : "";
    if (!chosen && (name == "offscreen" || name == "dummy" || name == "evdev")) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        if (report)
            std::fprintf(stderr, "tallreed: no display: cannot reach the display (SDL chose %s)\n",
                         name.c_str());
        return false;
    }
    return true;
}

}  // namespace

const std::vector<uint16_t>& landscapeFrame() {
    return state().presenter.landscape();
}

void windowSize(int& width, int& height) {
    Desktop& d = state();
    width = height = 0;
    if (d.window != nullptr) SDL_GetWindowSize(d.window, &width, &height);
}

bool isFullscreen() {
    return state().fullscreen;
}

void toggleFullscreen() {
    Desktop& d = state();
    if (d.window == nullptr) return;
    const bool want = !d.fullscreen;
    if (SDL_SetWindowFullscreen(d.window, want ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0) {
        d.fullscreen = want;
        remembered.fullscreen = want;  // the player's own choice, kept for the next run
    }
    d.presenter.invalidate();
}

void requestRaise() {
    Desktop& d = state();
    ++d.raiseRequests;
    // Wake the message wait; without SDL running yet the request waits for it.
    if (d.raiseEvent != 0 && SDL_WasInit(SDL_INIT_EVENTS) != 0) {
        SDL_Event ev{};
        ev.type = d.raiseEvent;
        SDL_PushEvent(&ev);
    }
}

int raisesDone() {
    return state().raisesDone;
}

bool windowShown() {
    const Desktop& d = state();
    return d.window != nullptr && (SDL_GetWindowFlags(d.window) & SDL_WINDOW_SHOWN) != 0;
}

bool usesWindowSurface() {
    return state().presenter.usesWindowSurface();
}

void aimMark(bool& shown, int& dx, int& dy) {
    const Desktop& d = state();
    shown = d.pad.markShown();
    d.pad.markDevice(dx, dy);
}

void sleepShowing(uint32_t ms) {
    using namespace std::chrono;
    Desktop& d = state();
    const auto end = steady_clock::now() + milliseconds(ms);
    // A picture presented just before a sleep goes up when it is due within the sleep,
    // not only when the sleep is over; but, as in the message wait, the window never
    // opens before the first tick's frame (a sleep while starting would open it black).
    if (d.window != nullptr && std::this_thread::get_id() == d.windowThread &&
        (d.ticked || d.presenter.hasShown())) {
        const int64_t wait = showIfDue();
        if (wait > 0 && steady_clock::now() + microseconds(wait) < end) {
            std::this_thread::sleep_for(microseconds(wait));
            showIfDue();
        }
    }
    std::this_thread::sleep_until(end);
}

}  // namespace desktop

using desktop::Desktop;
using desktop::state;

bool createWindow() {
    Desktop& d = state();
    if (d.window != nullptr) return true;
    desktop::startedAtUs = desktop::wallUs();
    desktop::nameWindowClass();
    if (!desktop::startVideo(true)) return false;
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "tallreed: cannot start SDL: %s\n", SDL_GetError());
        return false;
    }
    const uint32_t raise = SDL_RegisterEvents(1);
    if (raise != static_cast<uint32_t>(-1)) d.raiseEvent = raise;
    // Where the window was last time, unless the command line asks otherwise for this
    // run; what it asks is not remembered unless the player keeps it (see windowEvent).
    WindowState& w = desktop::remembered;
    const bool known = desktop::loadWindowState(w);
    const desktop::WindowOptions& options = desktop::windowOptions();
    WindowState start = w;
    if (known && options.scale == 0) {
        // The screens may have changed since: a smaller one, one fewer.
        std::vector<ScreenArea> screens;
        for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
            SDL_Rect r;
            if (SDL_GetDisplayUsableBounds(i, &r) == 0) screens.push_back({r.x, r.y, r.w, r.h});
        }
        start = fitOnScreens(w, screens, kLandscapeWidth, kLandscapeHeight);
    } else {
        SDL_DisplayMode mode{};
        int scale = options.scale > 0 ? options.scale : 3;
        if (SDL_GetDesktopDisplayMode(0, &mode) == 0) scale = initialScale(mode.w, mode.h, scale);
        if (options.scale > scale)
            std::fprintf(stderr, "tallreed: scale %d does not fit this screen; using %d\n",
                         options.scale, scale);
        start.width = kLandscapeWidth * scale;
        start.height = kLandscapeHeight * scale;
        if (!known) w = start;
    }
    if (options.mode != desktop::WindowOptions::Mode::Default)
        start.fullscreen = options.mode == desktop::WindowOptions::Mode::Fullscreen;
    d.fullscreen = start.fullscreen;
    // Hidden until the first picture is in it: no black or empty window before the splash.
    const bool placed = known && options.scale == 0;
    const int x = placed ? start.x : static_cast<int>(SDL_WINDOWPOS_CENTERED);
    const int y = placed ? start.y : static_cast<int>(SDL_WINDOWPOS_CENTERED);
    d.window =
        SDL_CreateWindow("Tallreed", x, y, start.width, start.height,
                         SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_HIDDEN |
                             (d.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0));
    if (d.window == nullptr) {
        std::fprintf(stderr, "tallreed: cannot open the window: %s\n", SDL_GetError());
        return false;
    }
    desktop::setWindowIcon(d.window);
    if (!known) SDL_GetWindowPosition(d.window, &w.x, &w.y);
    SDL_SetWindowMinimumSize(d.window, kLandscapeWidth, kLandscapeHeight);
    if (!d.presenter.open(d.window)) {
        std::fprintf(stderr, "tallreed: cannot draw in the window: %s\n", SDL_GetError());
        return false;
    }
    d.windowThread = std::this_thread::get_id();
    d.closed = false;
    // The window ends with the process; what it looked like is kept on the way out.
    std::atexit(desktop::rememberWindow);
    if (std::getenv("TALLREED_WINDOW_STATS") != nullptr) std::atexit(desktop::printStats);
    return true;
}

bool getMessage(Message& out) {
    Desktop& d = state();
    for (;;) {
        if (d.raiseRequests > 0) {
            --d.raiseRequests;
            desktop::raiseWindow();
        }
        if (!d.pending.empty()) {
            out = d.pending.front();
            d.pending.pop_front();
            if (out.message == MSG_TIMER) d.ticked = true;
            return true;
        }
        if (d.closed || d.window == nullptr) return false;
        if (desktop::tickIfDue()) continue;
        // Show the frames made since the last wait, when the display can take them, and
        // sleep until the next tick or show is due, unless an event comes first. The
        // window first opens after the first tick's frame: the splash starts on a black
        // screen and draws its logo on that frame.
        if (!d.ticked) d.presenter.prepare();
        const int64_t showUs = d.ticked || d.presenter.hasShown() ? desktop::showIfDue() : -1;
        const int64_t tickUs = d.heartbeat.untilNext(desktop::steadyUs());
        const int64_t waitUs = showUs < 0 ? tickUs : tickUs < 0 ? showUs : std::min(showUs, tickUs);
        SDL_Event ev;
        const int got = waitUs >= 0
                            ? SDL_WaitEventTimeout(&ev, static_cast<int>((waitUs + 999) / 1000))
                            : SDL_WaitEvent(&ev);
        if (got == 1) {
            desktop::translate(ev);
        } else if (waitUs < 0) {
            return false;  // the wait itself failed
        }
    }
}

bool startTimer(uint32_t periodMs) {
    Desktop& d = state();
    if (periodMs == 0) return false;
    d.heartbeat.start(static_cast<uint64_t>(periodMs) * 1000, desktop::steadyUs());
    return true;
}

void present(const uint16_t* pixels, int strideBytes, const PresentRect* rects, int count) {
    if (count <= 0) return;
    state().presenter.take(pixels, strideBytes, rects, count);
}

void presentAll(const uint16_t* pixels, int strideBytes) {
    const PresentRect all{0, 0, kDeviceWidth, kDeviceHeight};
    present(pixels, strideBytes, &all, 1);
}

void messageBox(const char* text, const char* caption, BoxIcon icon) {
    const char* t = text != nullptr ? text : "";
    const char* c = caption != nullptr ? caption : "";
    std::fprintf(stderr, "tallreed: %s%s%s\n", c, *c != '\0' ? ": " : "", t);
    // The box stands in front of the window: what was drawn before it must be up.
    desktop::showIfDue();
    const uint32_t flags =
        icon == BoxIcon::Stop ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    SDL_ShowSimpleMessageBox(flags, c, t, state().window);
}

void showWaitCursor(bool on) {
    Desktop& d = state();
    desktop::nameWindowClass();  // the video subsystem reads it when it starts
    if (!desktop::startVideo(false)) return;
    // Without the wait cursor the mouse shows a cross-hair: on the desktop the mouse
    // stands in for the stylus, which the player can always see.
    SDL_Cursor*& cursor = on ? d.waitCursor : d.aimCursor;
    if (cursor == nullptr)
        cursor = SDL_CreateSystemCursor(on ? SDL_SYSTEM_CURSOR_WAIT : SDL_SYSTEM_CURSOR_CROSSHAIR);
    if (cursor != nullptr) SDL_SetCursor(cursor);
    SDL_ShowCursor(SDL_ENABLE);
}

}  // namespace platform
