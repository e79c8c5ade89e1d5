// What the game asks of an operating system, in the game's own terms.
//
// Three backends implement all of it: the desktop one (src/platform/sdl, SDL2), the
// headless one (src/platform/headless, virtual clock, scripted input) and the browser
// one (src/platform/web, WebAssembly). A program picks its backend at link time. The
// registry and property-database stand-ins are declared in platform/store/store.h
// (over SQLite for the desktop and headless backends, over the page's storage in the
// browser); the resource pack lookup and the runtime random generator live in
// src/platform/ itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace platform {

// ---------------------------------------------------------------------------
// The program's entry. The game's loop and its modal waits are plain sequential code
// that blocks in getMessage() and sleepMs(); the backend decides on which stack that
// code runs. The desktop and the headless backend simply call appMain and answer its
// exit status; a browser cannot block its page, so there the backend runs appMain on a
// stack that it can suspend at every wait and give the page back.
int runMain(int (*appMain)());

// ---------------------------------------------------------------------------
// Window messages. The numbers are the ones the main loop's table is written in.
constexpr uint32_t MSG_SIZE = 5;      // wParam SIZE_MINIMIZED: the window was minimised
constexpr uint32_t MSG_ACTIVATE = 6;  // wParam WA_INACTIVE: the window lost the focus
constexpr uint32_t MSG_KEYDOWN = 256;
constexpr uint32_t MSG_KEYUP = 257;
constexpr uint32_t MSG_TIMER = 275;
constexpr uint32_t MSG_MOUSEMOVE = 512;
constexpr uint32_t MSG_LBUTTONDOWN = 513;
constexpr uint32_t MSG_LBUTTONUP = 514;
constexpr uint32_t MSG_HOTKEY = 786;

constexpr uint32_t SIZE_MINIMIZED = 1;
constexpr uint32_t WA_INACTIVE = 0;

// Virtual-key codes the game reads, and the two the shell reads for the pause menu.
constexpr uint32_t VK_RETURN = 13;
constexpr uint32_t VK_PAUSE = 19;
constexpr uint32_t VK_ESCAPE = 27;
constexpr uint32_t VK_LEFT = 37;
constexpr uint32_t VK_UP = 38;
constexpr uint32_t VK_RIGHT = 39;
constexpr uint32_t VK_DOWN = 40;
constexpr uint32_t VK_HW1 = 193;  // hardware buttons 193..207; 193..196 become input

struct Message {
    uint32_t message = 0;
    uint32_t wParam = 0;  // virtual key or hot-key id
    uint32_t lParam = 0;  // packed point: x in the low 16 bits, y in the high 16 bits
};

inline uint32_t packPoint(int x, int y) {
    return (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) | static_cast<uint16_t>(x);
}
inline int16_t pointX(uint32_t lParam) {
    return static_cast<int16_t>(lParam & 0xFFFF);
}
inline int16_t pointY(uint32_t lParam) {
    return static_cast<int16_t>(lParam >> 16);
}

// Opens the one game window (device 240 x 320 shown turned as a 320 x 240 landscape
// picture). False when no window can be made.
bool createWindow();

// Blocks for the next message of the window. False once the window was closed (quit):
// the caller ends its loop.
bool getMessage(Message& out);

// Starts the periodic timer that posts MSG_TIMER every periodMs milliseconds.
bool startTimer(uint32_t periodMs);

// ---------------------------------------------------------------------------
// Time.
uint32_t tickCount();  // milliseconds, wraps like the handheld's counter
void sleepMs(uint32_t ms);

// ---------------------------------------------------------------------------
// Presentation of the 240 x 320 RGB565 back buffer (device orientation).
struct PresentRect {
    int32_t left, top, right, bottom;  // right and bottom exclusive
};
// Copies the given rectangles of the back buffer to the window (count 0: nothing).
void present(const uint16_t* pixels, int strideBytes, const PresentRect* rects, int count);
// Copies the whole back buffer.
void presentAll(const uint16_t* pixels, int strideBytes);

// ---------------------------------------------------------------------------
// Message boxes: modal, one OK button; the program carries on afterwards.
enum class BoxIcon { None, Stop };
void messageBox(const char* text, const char* caption, BoxIcon icon = BoxIcon::None);

// Cursor: the wait cursor during start-up, none afterwards.
void showWaitCursor(bool on);

// Single instance: true when this is the only running copy. Otherwise the running copy
// is asked to raise its window, and the caller ends with exit status 0.
bool claimSingleInstance();

// Ends the process at once with the given status (the game's fatal paths).
[[noreturn]] void fatalExit(int status);

// ---------------------------------------------------------------------------
// Where the game keeps what it remembers between runs. The store asks the backend
// rather than knowing the host's habits; a backend without files brings a store of its
// own and has no use for these.

// The game's data folder: on Linux $XDG_DATA_HOME/tallreed (by default
// ~/.local/share/tallreed). "" when the host has none (no home folder at all).
std::string dataFolder();

// Sets a damaged file aside under a new name beside it, each companion (path + suffix,
// when present) under the same new name + suffix; never replaces or deletes anything.
// Answers the new name, or "" when the file could not be moved.
std::string setAsideDamaged(const std::string& path, const std::vector<std::string>& companions);

// ---------------------------------------------------------------------------
// Resources linked into the program: "PCT", "WAVE", "MUSIC". An empty span when absent.
std::span<const uint8_t> findResource(const char* type, int id);

// The runtime's seedable pseudo-random function: the classic linear congruential
// generator (state * 214013 + 2531011, result bits 16..30), 0..32767.
void seedRandom(uint32_t seed);
int nextRandom();

// ---------------------------------------------------------------------------
// Wave output. The sound engine opens one device, writes buffers to it and takes back
// each buffer once it has been played ("buffer done"), on its own output thread.
struct WaveFormat {
    uint32_t rate = 22050;
    uint16_t channels = 2;
    uint16_t bitsPerSample = 8;  // unsigned 8-bit, silence 128
};

class WaveOut {
  public:
    virtual ~WaveOut() = default;
    // Queues a buffer for playing. The memory stays the caller's and must stay valid
    // until it comes back through takeDone() or reset().
    virtual void write(uint8_t* data, uint32_t bytes) = 0;
    // The next played buffer, or nullptr when none is waiting. Non-blocking.
    virtual uint8_t* takeDone() = 0;
    // Blocks until a played buffer is waiting or timeoutMs have passed (the output
    // thread's 5 ms poll). Headless: returns at once when a buffer is waiting. The
    // desktop's device hands buffers back only when it plays, and waits for that instead
    // of the 5 ms (at most one of its calls, about 23 ms).
    virtual void waitForDone(uint32_t timeoutMs) = 0;
    virtual void pause() = 0;
    virtual void restart() = 0;
    // Stops playing and drops every queued buffer without handing it back.
    virtual void reset() = 0;
    // A device that has no thread to spare (the browser) refills itself: it keeps
    // `refill` and calls it, on the game's own thread, whenever buffers may have come
    // back; the engine then starts no output thread. Answers false when the engine is
    // to run its own output thread (every other device). `refill` is dropped by reset().
    // How long the engine leaves a newly opened device alone with its primed buffers
    // before it starts the output (the handheld's device needed 100 ms). The desktop's
    // device is ready once it is open and answers 0: its first picture is not held back.
    virtual uint32_t startDelayMs() const { return 100; }
    virtual bool pumpsItself(void (*refill)(void* context), void* context) {
        (void)refill;
        (void)context;
        return false;
    }
};

// Opens the wave output; nullptr when there is no device or it refuses the format.
std::unique_ptr<WaveOut> openWaveOut(const WaveFormat& format);

}  // namespace platform
