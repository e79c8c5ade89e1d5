// The page as the game's window: the landscape picture on a 320 x 240 canvas scaled by
// a whole number and letterboxed, pointer and keyboard events turned into the game's
// window messages through the desktop's own mapping, and the 10 ms timer.
#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

#include "platform/desktop_mapping.h"
#include "platform/platform.h"
#include "platform/png_io.h"
#include "platform/web/web_page.h"

namespace platform {
namespace {

// A timer tick that is owed is delivered late rather than merged, so that the rules
// that count frames keep the handheld's pace through a short stall of the page; after
// a longer one (a hidden tab, a debugger) the owed ticks are given up.
constexpr double kMaxOwedMs = 100;
// However busy the game, the page gets its event loop back this often, so that the
// picture reaches the screen and input arrives.
constexpr double kMaxBusyMs = 30;

struct Page {
    std::vector<uint8_t> landscape =
        std::vector<uint8_t>(static_cast<size_t>(kLandscapeWidth) * kLandscapeHeight * 4, 0);
    std::deque<Message> pending;
    Viewport viewport;
    int pageWidth = 0, pageHeight = 0;  // in device pixels
    bool created = false;
    Stylus stylus;
    uint32_t timerPeriod = 0;
    double nextTimer = 0;
    double lastYield = 0;
    // What the timer did, for the page's own measurements.
    double ticks = 0, givenUp = 0, maxLate = 0;
};

Page& page() {
    static Page p;
    return p;
}

// clang-format off
// Listens to the page and queues what happened; the game takes the queue in its own
// time (takeEvent), so no game code ever runs inside a browser callback.
EM_JS(void, tr_page_open, (), {
    const events = Module.trEvents = [];
    const ratio = () => window.devicePixelRatio || 1;
    const at = (e) => [Math.round(e.clientX * ratio()), Math.round(e.clientY * ratio())];
    const blocked = () => Module.trBoxOpen;
    const unlock = () => { if (Module.trAudio) Module.trAudio.unlock(); };
    const toggleFullscreen = () => {
        if (document.fullscreenElement) document.exitFullscreen();
        else if (document.documentElement.requestFullscreen) document.documentElement.requestFullscreen();
    };
    Module.trToggleFullscreen = toggleFullscreen;
    const full = document.getElementById("fullscreen");
    if (full) full.addEventListener("click", (e) => { e.stopPropagation(); toggleFullscreen(); });
    document.addEventListener("pointerdown", (e) => {
        if (e.target === full) return;
        unlock();
        if (blocked() || !e.isPrimary) return;
        e.preventDefault();
        try { document.body.setPointerCapture(e.pointerId); } catch (x) {}
        events.push([1, e.button].concat(at(e)));
    });
    document.addEventListener("pointermove", (e) => {
        if (!blocked() && e.isPrimary) events.push([2, 0].concat(at(e)));
    });
    const up = (e) => {
        if (!e.isPrimary) return;
        events.push([3, e.button < 0 ? 0 : e.button].concat(at(e)));
    };
    document.addEventListener("pointerup", up);
    document.addEventListener("pointercancel", up);
    document.addEventListener("contextmenu", (e) => e.preventDefault());
    const key = (down) => (e) => {
        if (down) unlock();
        if (blocked()) {
            if (down && (e.code === "Enter" || e.code === "Escape" || e.code === "Space")) {
                e.preventDefault();
                document.getElementById("box-ok").click();
            }
            return;
        }
        if (e.code === "F11" || (e.altKey && e.code === "Enter")) {
            e.preventDefault();
            if (down && !e.repeat) toggleFullscreen();
            return;
        }
        if (down && (e.repeat || e.ctrlKey || e.metaKey)) return;  // a release always goes
        if (e.code.startsWith("Arrow") || e.code === "Space" || e.code.endsWith("Enter")) e.preventDefault();
        events.push([down ? 4 : 5, 0, 0, 0, e.code]);
    };
    document.addEventListener("keydown", key(true));
    document.addEventListener("keyup", key(false));
    window.addEventListener("resize", () => events.push([6, 0, 0, 0]));
    // A hidden tab is the desktop's minimised window, a page without the focus its
    // window without it: either pauses a round.
    document.addEventListener("visibilitychange", () => { if (document.hidden) events.push([7, 0, 0, 0]); });
    window.addEventListener("blur", () => events.push([8, 0, 0, 0]));
    document.addEventListener("fullscreenchange", () => events.push([6, 0, 0, 0]));
});

// The next queued event: its kind (0 = none), button and position, and a key's name.
EM_JS(int, tr_take_event, (int* button, int* x, int* y, char* code, int codeSize), {
    const e = Module.trEvents.shift();
    if (!e) return 0;
    HEAP32[button >> 2] = e[1];
    HEAP32[x >> 2] = e[2];
    HEAP32[y >> 2] = e[3];
    stringToUTF8(e[4] || "", code, codeSize);
    return e[0];
});

EM_JS(void, tr_page_size, (int* width, int* height), {
    const ratio = window.devicePixelRatio || 1;
    HEAP32[width >> 2] = Math.round(window.innerWidth * ratio);
    HEAP32[height >> 2] = Math.round(window.innerHeight * ratio);
});

EM_JS(void, tr_place_canvas, (int x, int y, int width, int height), {
    const ratio = window.devicePixelRatio || 1;
    const s = document.getElementById("screen").style;
    s.left = (x / ratio) + "px";
    s.top = (y / ratio) + "px";
    s.width = (width / ratio) + "px";
    s.height = (height / ratio) + "px";
});

EM_JS(void, tr_blit, (const uint8_t* rgba, int x, int y, int width, int height), {
    const canvas = document.getElementById("screen");
    const ctx = Module.trContext || (Module.trContext = canvas.getContext("2d"));
    let image = Module.trImage;
    // A grown memory replaces the buffer: the picture must follow it.
    if (!image || image.data.buffer !== HEAPU8.buffer || Module.trImagePtr !== rgba) {
        image = Module.trImage = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, 320 * 240 * 4), 320, 240);
        Module.trImagePtr = rgba;
    }
    ctx.putImageData(image, 0, 0, x, y, width, height);
    if (Module.trFirstPicture === undefined) Module.trFirstPicture = performance.now();
    Module.trPresents = (Module.trPresents || 0) + 1;
});

EM_JS(void, tr_report_timer, (double ticks, double givenUp, double maxLate), {
    Module.trTimer = { ticks: ticks, givenUp: givenUp, maxLate: maxLate };
});
// clang-format on

void layout() {
    Page& p = page();
    tr_page_size(&p.pageWidth, &p.pageHeight);
    p.viewport = letterbox(p.pageWidth, p.pageHeight);
    tr_place_canvas(p.viewport.x, p.viewport.y, kLandscapeWidth * p.viewport.scale,
                    kLandscapeHeight * p.viewport.scale);
}

// The page's size in device pixels; the pointer is measured in them too.
WindowGeometry geometry() {
    const Page& p = page();
    return WindowGeometry{p.pageWidth, p.pageHeight, p.pageWidth, p.pageHeight};
}

// Turns what the page queued into the game's messages, as the desktop does with SDL's.
void takeEvents() {
    Page& p = page();
    int button = 0, x = 0, y = 0;
    char code[32];
    for (;;) {
        const int kind = tr_take_event(&button, &x, &y, code, sizeof code);
        if (kind == 0) return;
        switch (kind) {
            case 1:
            case 3: {
                const bool down = kind == 1;
                Message m;
                if (button == 0) {
                    // The desktop's stylus: a press in the bars does nothing, a drag or
                    // a release that leaves the picture keeps to its edge.
                    const bool sent = down ? p.stylus.press(geometry(), x, y, m)
                                           : p.stylus.release(geometry(), x, y, m);
                    if (sent) p.pending.push_back(m);
                } else if (button == 2) {
                    p.pending.push_back(
                        Message{down ? MSG_HOTKEY : MSG_KEYUP, kRightButtonHotKey, 0});
                }
                break;
            }
            case 2: {
                Message m;
                if (p.stylus.move(geometry(), x, y, m)) p.pending.push_back(m);
                break;
            }
            case 4:
            case 5: {
                // F11 and Alt+Enter are the page's own (full screen needs the key's
                // gesture); everything else goes as on the desktop.
                DesktopKey key;
                Message m;
                if (keyFromBrowserCode(code, key) &&
                    keyAction(key, kind == 4, false, false, m) == KeyAction::Send)
                    p.pending.push_back(m);
                break;
            }
            case 6:
                layout();
                break;
            case 7:
                p.pending.push_back(minimisedMessage());
                break;
            case 8:
                p.pending.push_back(focusLostMessage());
                break;
            default:
                break;
        }
    }
}

void yield(uint32_t ms) {
    web::yieldToPage(ms);
    page().lastYield = emscripten_get_now();
}

// Queues the timer's message when a tick is due; answers whether it did.
bool timerDue() {
    Page& p = page();
    if (p.timerPeriod == 0) return false;
    const double now = emscripten_get_now();
    if (now < p.nextTimer) return false;
    const double late = now - p.nextTimer;
    if (late > kMaxOwedMs) {
        p.givenUp += std::floor(late / p.timerPeriod);
        p.nextTimer = now + p.timerPeriod;
    } else {
        p.maxLate = std::max(p.maxLate, late);
        p.nextTimer += p.timerPeriod;
    }
    ++p.ticks;
    tr_report_timer(p.ticks, p.givenUp, p.maxLate);
    p.pending.push_back(Message{MSG_TIMER, 15000, 0});
    return true;
}

}  // namespace

bool createWindow() {
    Page& p = page();
    if (p.created) return true;
    tr_page_open();
    layout();
    p.created = true;
    p.lastYield = emscripten_get_now();
    return true;
}

bool getMessage(Message& out) {
    Page& p = page();
    if (!p.created) return false;
    for (;;) {
        if (emscripten_get_now() - p.lastYield > kMaxBusyMs) yield(0);
        takeEvents();
        if (p.pending.empty() && !timerDue()) {
            const double wait = p.timerPeriod != 0 ? p.nextTimer - emscripten_get_now() : 10;
            yield(static_cast<uint32_t>(std::clamp(wait, 0.0, 10.0) + 0.999));
            continue;
        }
        out = p.pending.front();
        p.pending.pop_front();
        return true;
    }
}

bool startTimer(uint32_t periodMs) {
    Page& p = page();
    if (periodMs == 0 || !p.created) return false;
    p.timerPeriod = periodMs;
    p.nextTimer = emscripten_get_now() + periodMs;
    return true;
}

void present(const uint16_t* pixels, int strideBytes, const PresentRect* rects, int count) {
    if (pixels == nullptr || rects == nullptr || count <= 0) return;
    Page& p = page();
    const auto* base = reinterpret_cast<const uint8_t*>(pixels);
    int minX = kLandscapeWidth, minY = kLandscapeHeight, maxX = 0, maxY = 0;
    for (int i = 0; i < count; ++i) {
        const int left = std::max(0, rects[i].left), top = std::max(0, rects[i].top);
        const int right = std::min(kDeviceWidth, rects[i].right);
        const int bottom = std::min(kDeviceHeight, rects[i].bottom);
        if (left >= right || top >= bottom) continue;
        for (int dy = top; dy < bottom; ++dy) {
            const auto* row =
                reinterpret_cast<const uint16_t*>(base + static_cast<ptrdiff_t>(dy) * strideBytes);
            for (int dx = left; dx < right; ++dx) {
                int lx = 0, ly = 0;
                deviceToLandscape(dx, dy, lx, ly);
                uint8_t* out = &p.landscape[(static_cast<size_t>(ly) * kLandscapeWidth + lx) * 4];
                rgbFrom565(row[dx], out);
                out[3] = 255;
            }
        }
        // The rectangle turned: device columns become landscape rows.
        int lx0 = 0, ly0 = 0, lx1 = 0, ly1 = 0;
        deviceToLandscape(left, bottom - 1, lx0, ly0);
        deviceToLandscape(right - 1, top, lx1, ly1);
        minX = std::min(minX, lx0);
        minY = std::min(minY, ly0);
        maxX = std::max(maxX, lx1 + 1);
        maxY = std::max(maxY, ly1 + 1);
    }
    if (minX < maxX && minY < maxY)
        tr_blit(p.landscape.data(), minX, minY, maxX - minX, maxY - minY);
}

void presentAll(const uint16_t* pixels, int strideBytes) {
    const PresentRect all{0, 0, kDeviceWidth, kDeviceHeight};
    present(pixels, strideBytes, &all, 1);
}

}  // namespace platform
