// The desktop window: the landscape picture scaled by an integer factor and
// letterboxed, the message wait that turns SDL events into the game's window messages,
// the 10 ms timer, message boxes and the cursor.
#include "platform/sdl/desktop_window.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <deque>

#include "platform/desktop_mapping.h"
#include "platform/platform.h"
#include "platform/sdl/window_identity.h"
#include "platform/sdl/window_options.h"

namespace platform {
namespace {

struct Desktop {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    std::vector<uint16_t> landscape = std::vector<uint16_t>(kLandscapeWidth * kLandscapeHeight, 0);
    std::deque<Message> pending;
    uint32_t timerEvent = 0;  // SDL user event types, 0 until registered
    uint32_t raiseEvent = 0;
    SDL_TimerID timer = 0;
    uint32_t timerPeriod = 0;
    std::atomic<bool> timerPending{false};
    std::atomic<int> raiseRequests{0};
    int raisesDone = 0;
    bool closed = false;
    bool fullscreen = false;
    bool penHeld = false;
    SDL_Cursor* waitCursor = nullptr;
    SDL_Cursor* aimCursor = nullptr;
};

Desktop& state() {
    static Desktop d;
    return d;
}

// Shows the last frame again: after a present, and whenever the window was exposed or
// resized. Exposing the window never makes a frame of the game.
void render() {
    Desktop& d = state();
    if (d.renderer == nullptr || d.texture == nullptr) return;
    SDL_UpdateTexture(d.texture, nullptr, d.landscape.data(), kLandscapeWidth * 2);
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(d.renderer, &w, &h);
    const Viewport v = letterbox(w, h);
    const SDL_Rect dst{v.x, v.y, kLandscapeWidth * v.scale, kLandscapeHeight * v.scale};
    SDL_SetRenderDrawColor(d.renderer, 0, 0, 0, 255);
    SDL_RenderClear(d.renderer);
    SDL_RenderCopy(d.renderer, d.texture, nullptr, &dst);
    SDL_RenderPresent(d.renderer);
}

uint32_t onTimer(uint32_t interval, void* /*param*/) {
    Desktop& d = state();
    // Like the handheld's timer message, a tick that is still waiting is not doubled.
    if (!d.timerPending.exchange(true)) {
        SDL_Event ev{};
        ev.type = d.timerEvent;
        SDL_PushEvent(&ev);
    }
    return interval;
}

bool mapKey(SDL_Keycode sym, DesktopKey& key) {
    switch (sym) {
        case SDLK_LEFT:
            key = DesktopKey::Left;
            return true;
        case SDLK_RIGHT:
            key = DesktopKey::Right;
            return true;
        case SDLK_UP:
            key = DesktopKey::Up;
            return true;
        case SDLK_DOWN:
            key = DesktopKey::Down;
            return true;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            key = DesktopKey::Enter;
            return true;
        case SDLK_SPACE:
            key = DesktopKey::Space;
            return true;
        case SDLK_1:
            key = DesktopKey::Digit1;
            return true;
        case SDLK_2:
            key = DesktopKey::Digit2;
            return true;
        case SDLK_3:
            key = DesktopKey::Digit3;
            return true;
        case SDLK_4:
            key = DesktopKey::Digit4;
            return true;
        default:
            return false;
    }
}

uint32_t penPoint(int wx, int wy) {
    int w = 0, h = 0;
    desktop::windowSize(w, h);
    int dx = 0, dy = 0;
    windowToDevice(letterbox(w, h), wx, wy, dx, dy);
    return packPoint(dx, dy);
}

void raiseWindow() {
    Desktop& d = state();
    if (d.window == nullptr) return;
    SDL_RestoreWindow(d.window);
    SDL_RaiseWindow(d.window);
    ++d.raisesDone;
}

// Turns one SDL event into at most one message on the pending queue.
void translate(const SDL_Event& ev) {
    Desktop& d = state();
    if (d.timerEvent != 0 && ev.type == d.timerEvent) {
        d.timerPending = false;
        d.pending.push_back(Message{MSG_TIMER, 15000, 0});
        return;
    }
    if (d.raiseEvent != 0 && ev.type == d.raiseEvent) return;  // handled after every event
    switch (ev.type) {
        case SDL_QUIT:
            d.closed = true;
            return;
        case SDL_WINDOWEVENT:
            if (ev.window.event == SDL_WINDOWEVENT_CLOSE) d.closed = true;
            if (ev.window.event == SDL_WINDOWEVENT_EXPOSED ||
                ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                render();
            return;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const bool down = ev.type == SDL_KEYDOWN;
            const SDL_Keycode sym = ev.key.keysym.sym;
            const bool alt = (ev.key.keysym.mod & KMOD_ALT) != 0;
            if (sym == SDLK_F11 || (alt && (sym == SDLK_RETURN || sym == SDLK_KP_ENTER))) {
                if (down && ev.key.repeat == 0) desktop::toggleFullscreen();
                return;
            }
            if (ev.key.repeat != 0) return;  // a held key repeats at the frame rate anyway
            DesktopKey key;
            Message m;
            if (mapKey(sym, key) && keyMessage(key, down, m)) d.pending.push_back(m);
            return;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const bool down = ev.type == SDL_MOUSEBUTTONDOWN;
            if (ev.button.button == SDL_BUTTON_LEFT) {
                d.penHeld = down;
                d.pending.push_back(Message{down ? MSG_LBUTTONDOWN : MSG_LBUTTONUP, 0,
                                            penPoint(ev.button.x, ev.button.y)});
            } else if (ev.button.button == SDL_BUTTON_RIGHT) {
                d.pending.push_back(Message{down ? MSG_HOTKEY : MSG_KEYUP, kRightButtonHotKey, 0});
            }
            return;
        }
        case SDL_MOUSEMOTION:
            // A stylus only moves while it touches the screen.
            if (d.penHeld)
                d.pending.push_back(Message{MSG_MOUSEMOVE, 0, penPoint(ev.motion.x, ev.motion.y)});
            return;
        default:
            return;
    }
}

}  // namespace

namespace desktop {

const std::vector<uint16_t>& landscapeFrame() {
    return platform::state().landscape;
}

void windowSize(int& width, int& height) {
    Desktop& d = platform::state();
    width = height = 0;
    if (d.window != nullptr) SDL_GetWindowSize(d.window, &width, &height);
}

bool isFullscreen() {
    return platform::state().fullscreen;
}

void toggleFullscreen() {
    Desktop& d = platform::state();
    if (d.window == nullptr) return;
    const bool want = !d.fullscreen;
    if (SDL_SetWindowFullscreen(d.window, want ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0)
        d.fullscreen = want;
    render();
}

void requestRaise() {
    Desktop& d = platform::state();
    ++d.raiseRequests;
    // Wake the message wait; without SDL running yet the request waits for it.
    if (d.raiseEvent != 0 && SDL_WasInit(SDL_INIT_EVENTS) != 0) {
        SDL_Event ev{};
        ev.type = d.raiseEvent;
        SDL_PushEvent(&ev);
    }
}

int raisesDone() {
    return platform::state().raisesDone;
}

}  // namespace desktop

bool createWindow() {
    Desktop& d = state();
    if (d.window != nullptr) return true;
    desktop::nameWindowClass();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "tallreed: no display: %s\n", SDL_GetError());
        return false;
    }
    const uint32_t first = SDL_RegisterEvents(2);
    if (first != static_cast<uint32_t>(-1)) {
        d.timerEvent = first;
        d.raiseEvent = first + 1;
    }
    const desktop::WindowOptions& options = desktop::windowOptions();
    SDL_DisplayMode mode{};
    int scale = options.scale > 0 ? options.scale : 3;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) scale = initialScale(mode.w, mode.h, scale);
    if (options.scale > scale)
        std::fprintf(stderr, "tallreed: scale %d does not fit this screen; using %d\n",
                     options.scale, scale);
    d.fullscreen = options.mode == desktop::WindowOptions::Mode::Fullscreen;
    d.window = SDL_CreateWindow("Tallreed", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                kLandscapeWidth * scale, kLandscapeHeight * scale,
                                SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI |
                                    (d.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0));
    if (d.window == nullptr) {
        std::fprintf(stderr, "tallreed: cannot open the window: %s\n", SDL_GetError());
        return false;
    }
    desktop::setWindowIcon(d.window);
    SDL_SetWindowMinimumSize(d.window, kLandscapeWidth, kLandscapeHeight);
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");  // nearest neighbour: crisp pixels
    // No vertical sync: several rules of the game count frames, and a present that
    // waited for the display would slow them below the 10 ms timer's pace.
    d.renderer = SDL_CreateRenderer(d.window, -1, 0);
    if (d.renderer == nullptr) d.renderer = SDL_CreateRenderer(d.window, -1, SDL_RENDERER_SOFTWARE);
    if (d.renderer == nullptr) {
        std::fprintf(stderr, "tallreed: cannot draw in the window: %s\n", SDL_GetError());
        return false;
    }
    d.texture = SDL_CreateTexture(d.renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                  kLandscapeWidth, kLandscapeHeight);
    if (d.texture == nullptr) return false;
    d.closed = false;
    render();
    return true;
}

bool getMessage(Message& out) {
    Desktop& d = state();
    for (;;) {
        if (d.raiseRequests > 0) {
            --d.raiseRequests;
            raiseWindow();
        }
        if (!d.pending.empty()) {
            out = d.pending.front();
            d.pending.pop_front();
            return true;
        }
        if (d.closed || d.window == nullptr) return false;
        SDL_Event ev;
        if (SDL_WaitEvent(&ev) == 0) return false;
        translate(ev);
    }
}

bool startTimer(uint32_t periodMs) {
    Desktop& d = state();
    if (periodMs == 0 || d.timerEvent == 0) return false;
    if (d.timer != 0) SDL_RemoveTimer(d.timer);
    d.timerPeriod = periodMs;
    d.timer = SDL_AddTimer(periodMs, onTimer, nullptr);
    return d.timer != 0;
}

void present(const uint16_t* pixels, int strideBytes, const PresentRect* rects, int count) {
    if (pixels == nullptr || rects == nullptr || count <= 0) return;
    Desktop& d = state();
    const auto* base = reinterpret_cast<const uint8_t*>(pixels);
    for (int i = 0; i < count; ++i) {
        const int left = std::max(0, rects[i].left), top = std::max(0, rects[i].top);
        const int right = std::min(kDeviceWidth, rects[i].right);
        const int bottom = std::min(kDeviceHeight, rects[i].bottom);
        for (int dy = top; dy < bottom; ++dy) {
            const auto* row =
                reinterpret_cast<const uint16_t*>(base + static_cast<ptrdiff_t>(dy) * strideBytes);
            for (int dx = left; dx < right; ++dx) {
                int lx = 0, ly = 0;
                deviceToLandscape(dx, dy, lx, ly);
                d.landscape[ly * kLandscapeWidth + lx] = row[dx];
            }
        }
    }
    render();
}

void presentAll(const uint16_t* pixels, int strideBytes) {
    const PresentRect all{0, 0, kDeviceWidth, kDeviceHeight};
    present(pixels, strideBytes, &all, 1);
}

void messageBox(const char* text, const char* caption, BoxIcon icon) {
    const char* t = text != nullptr ? text : "";
    const char* c = caption != nullptr ? caption : "";
    std::fprintf(stderr, "tallreed: %s%s%s\n", c, *c != '\0' ? ": " : "", t);
    const uint32_t flags =
        icon == BoxIcon::Stop ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    SDL_ShowSimpleMessageBox(flags, c, t, state().window);
}

void showWaitCursor(bool on) {
    Desktop& d = state();
    desktop::nameWindowClass();  // the video subsystem reads it when it starts
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
    // Without the wait cursor the mouse shows a cross-hair: on the desktop the mouse
    // stands in for the stylus, which the player can always see.
    SDL_Cursor*& cursor = on ? d.waitCursor : d.aimCursor;
    if (cursor == nullptr)
        cursor = SDL_CreateSystemCursor(on ? SDL_SYSTEM_CURSOR_WAIT : SDL_SYSTEM_CURSOR_CROSSHAIR);
    if (cursor != nullptr) SDL_SetCursor(cursor);
    SDL_ShowCursor(SDL_ENABLE);
}

}  // namespace platform
