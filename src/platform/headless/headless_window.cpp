// The headless window: a picture of what has been presented, message boxes that are
// answered at once, and the start-up calls that cannot fail without a display.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "platform/headless/clock_hooks.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/png_io.h"

namespace headless {
namespace {

constexpr int kDeviceW = 240;
constexpr int kDeviceH = 320;

struct Window {
    std::mutex lock;
    std::vector<uint16_t> pixels = std::vector<uint16_t>(kDeviceW * kDeviceH, 0);
    std::vector<std::string> boxes;
    uint64_t presents = 0;
    bool created = false;
    bool waitCursor = false;
    bool windowAvailable = true;
    bool anotherCopy = false;
};

Window& window() {
    static Window w;
    return w;
}

// Copies one rectangle, clipped to the screen; an empty or inverted one copies nothing.
void copyRect(Window& w, const uint16_t* pixels, int strideBytes, platform::PresentRect r) {
    const int left = std::max(0, r.left), top = std::max(0, r.top);
    const int right = std::min(kDeviceW, r.right), bottom = std::min(kDeviceH, r.bottom);
    if (left >= right || top >= bottom) return;
    const auto* base = reinterpret_cast<const uint8_t*>(pixels);
    for (int y = top; y < bottom; ++y) {
        const auto* row =
            reinterpret_cast<const uint16_t*>(base + static_cast<ptrdiff_t>(y) * strideBytes);
        std::copy(row + left, row + right, w.pixels.begin() + y * kDeviceW + left);
    }
}

}  // namespace

std::vector<uint8_t> windowLandscapeRGB() {
    Window& w = window();
    std::lock_guard<std::mutex> guard(w.lock);
    // Landscape is 320 wide and 240 high; device pixel (dx, dy) shows at (319 - dy, dx).
    std::vector<uint8_t> rgb(static_cast<size_t>(kDeviceH) * kDeviceW * 3);
    for (int dy = 0; dy < kDeviceH; ++dy) {
        for (int dx = 0; dx < kDeviceW; ++dx) {
            const int lx = kDeviceH - 1 - dy, ly = dx;
            platform::rgbFrom565(w.pixels[dy * kDeviceW + dx], &rgb[(ly * kDeviceH + lx) * 3]);
        }
    }
    return rgb;
}

const std::vector<uint16_t>& windowDevicePixels() {
    return window().pixels;
}

bool writeWindowPng(const std::string& path) {
    return platform::writePngRGB(path, kDeviceH, kDeviceW, windowLandscapeRGB());
}

const std::vector<std::string>& messageBoxes() {
    return window().boxes;
}

uint64_t presentCount() {
    return window().presents;
}

bool windowCreated() {
    return window().created;
}

bool waitCursorShown() {
    return window().waitCursor;
}

void setWindowAvailable(bool available) {
    window().windowAvailable = available;
}

void setAnotherCopyRunning(bool running) {
    window().anotherCopy = running;
}

namespace detail {
void resetWindow() {
    Window& w = window();
    std::lock_guard<std::mutex> guard(w.lock);
    std::fill(w.pixels.begin(), w.pixels.end(), 0);
    w.boxes.clear();
    w.presents = 0;
    w.created = false;
    w.waitCursor = false;
    w.windowAvailable = true;
    w.anotherCopy = false;
}
}  // namespace detail

}  // namespace headless

namespace platform {

using headless::window;

int runMain(int (*appMain)()) {
    // Virtual time never blocks: the program runs on the caller's stack.
    return appMain();
}

bool createWindow() {
    if (!window().windowAvailable) return false;
    window().created = true;
    return true;
}

void present(const uint16_t* pixels, int strideBytes, const PresentRect* rects, int count) {
    auto& w = window();
    std::lock_guard<std::mutex> guard(w.lock);
    ++w.presents;
    if (pixels == nullptr || rects == nullptr) return;
    for (int i = 0; i < count; ++i) headless::copyRect(w, pixels, strideBytes, rects[i]);
}

void presentAll(const uint16_t* pixels, int strideBytes) {
    auto& w = window();
    std::lock_guard<std::mutex> guard(w.lock);
    ++w.presents;
    if (pixels == nullptr) return;
    headless::copyRect(w, pixels, strideBytes, PresentRect{0, 0, 240, 320});
}

void messageBox(const char* text, const char* /*caption*/, BoxIcon /*icon*/) {
    auto& w = window();
    std::lock_guard<std::mutex> guard(w.lock);
    w.boxes.emplace_back(text != nullptr ? text : "");
}

void showWaitCursor(bool on) {
    window().waitCursor = on;
}

bool claimSingleInstance() {
    return !window().anotherCopy;
}

void fatalExit(int status) {
    std::fflush(stdout);
    std::exit(status);
}

}  // namespace platform
