// The browser's side of the program's entry, time, the wait cursor, message boxes,
// the single-instance claim and ending the process.
//
// The game's loop and its modal waits block; a page must not. Built with ASYNCIFY, the
// game runs on the page's main thread and every wait unwinds its stack into the page's
// event loop (emscripten_sleep) and rewinds it when the time is up, so the game's code
// stays as sequential as on the desktop.
#include <emscripten.h>

#include <cstdio>

#include "platform/platform.h"
#include "platform/web/web_page.h"

namespace platform {
namespace {

bool noteShown = false;
double timeAsleep = 0;  // ms spent in the page's event loop rather than in the game

// clang-format off
EM_JS(void, tr_note, (const char* text), {
    const note = document.getElementById("note");
    const screen = document.getElementById("screen");
    if (screen) screen.style.display = "none";
    if (note) { note.textContent = UTF8ToString(text); note.style.display = "flex"; }
});

EM_JS(void, tr_cursor, (int wait), {
    document.body.style.cursor = wait ? "wait" : "crosshair";
});

EM_JS(void, tr_box_show, (const char* text, const char* caption), {
    const box = document.getElementById("box");
    document.getElementById("box-caption").textContent = UTF8ToString(caption);
    document.getElementById("box-text").textContent = UTF8ToString(text);
    box.style.display = "flex";
    Module.trBoxOpen = true;
    const ok = document.getElementById("box-ok");
    ok.onclick = () => { box.style.display = "none"; Module.trBoxOpen = false; };
    ok.focus();
});

EM_JS(int, tr_box_open, (), { return Module.trBoxOpen ? 1 : 0; });

// One game per origin: a Web Lock held for the page's life (released by the browser
// when the tab goes, also on a reload), else a question on a broadcast channel that a
// running copy answers. The answer arrives asynchronously; tr_instance_state polls it.
EM_JS(void, tr_instance_claim, (), {
    const claim = Module.trInstance = { state: "pending" };
    const announce = () => {
        try {
            const channel = new BroadcastChannel("tallreed");
            channel.onmessage = (e) => { if (e.data === "who") channel.postMessage("here"); };
            claim.channel = channel;
        } catch (e) {}
    };
    if (navigator.locks && navigator.locks.request) {
        const abort = new AbortController();
        // A reloaded page may have to wait a moment for its predecessor to let go.
        const timer = setTimeout(() => abort.abort(), 1500);
        navigator.locks.request("tallreed-game", { signal: abort.signal }, () => {
            clearTimeout(timer);
            claim.state = "held";
            announce();
            return new Promise(() => {});
        }).catch(() => { if (claim.state === "pending") claim.state = "refused"; });
        return;
    }
    let channel = null;
    try { channel = new BroadcastChannel("tallreed"); } catch (e) { claim.state = "held"; return; }
    channel.onmessage = (e) => { if (e.data === "here") claim.state = "refused"; };
    channel.postMessage("who");
    setTimeout(() => {
        channel.close();
        if (claim.state === "pending") { claim.state = "held"; announce(); }
    }, 300);
});

EM_JS(int, tr_instance_state, (), {
    const s = Module.trInstance ? Module.trInstance.state : "held";
    return s === "pending" ? 0 : (s === "held" ? 1 : 2);
});

EM_JS(void, tr_report_busy, (double asleepMs), {
    Module.trLoad = { asleepMs: asleepMs, at: performance.now() };
});
// clang-format on

}  // namespace

namespace web {

void yieldToPage(uint32_t ms) {
    pumpAudio();
    const double before = emscripten_get_now();
    emscripten_sleep(ms);
    timeAsleep += emscripten_get_now() - before;
    tr_report_busy(timeAsleep);
    pumpAudio();
}

void showPageNote(const char* text) {
    noteShown = true;
    tr_note(text);
}

}  // namespace web

int runMain(int (*appMain)()) {
    const int status = appMain();
    if (!noteShown) web::showPageNote("Tallreed has ended. Reload the page to play again.");
    return status;
}

uint32_t tickCount() {
    // Milliseconds since the page started, wrapping like the handheld's counter.
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
}

void sleepMs(uint32_t ms) {
    // In slices, so that sound keeps flowing through a long wait.
    const double until = emscripten_get_now() + ms;
    for (;;) {
        const double left = until - emscripten_get_now();
        if (left <= 0) break;
        web::yieldToPage(left > 10 ? 10 : static_cast<uint32_t>(left + 0.999));
    }
}

void showWaitCursor(bool on) {
    tr_cursor(on ? 1 : 0);
}

void messageBox(const char* text, const char* caption, BoxIcon /*icon*/) {
    const char* t = text != nullptr ? text : "";
    const char* c = caption != nullptr ? caption : "";
    std::fprintf(stderr, "tallreed: %s%s%s\n", c, *c != '\0' ? ": " : "", t);
    // Modal for the game: it waits here, as behind the desktop's box, until OK.
    tr_box_show(t, c);
    while (tr_box_open() != 0) web::yieldToPage(20);
}

bool claimSingleInstance() {
    tr_instance_claim();
    int state = 0;
    while ((state = tr_instance_state()) == 0) web::yieldToPage(10);
    if (state == 1) return true;
    web::showPageNote(
        "Tallreed is already running in another tab of this browser. "
        "Close this tab, or close the other one and reload this one.");
    return false;
}

void fatalExit(int status) {
    std::fflush(stdout);
    web::showPageNote("Tallreed stopped after an error. Reload the page to start again.");
    emscripten_force_exit(status);
    __builtin_unreachable();
}

}  // namespace platform
