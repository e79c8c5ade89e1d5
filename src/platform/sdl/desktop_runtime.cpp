// The entry, time and ending the process on the desktop.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/platform.h"
#include "platform/sdl/desktop_window.h"

namespace platform {

int runMain(int (*appMain)()) {
    // A desktop thread may block as long as it likes: the game runs on it directly.
    return appMain();
}

uint32_t tickCount() {
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    // Milliseconds since start-up, wrapping like the handheld's counter.
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

void sleepMs(uint32_t ms) {
    desktop::sleepShowing(ms);
}

void fatalExit(int status) {
    std::fflush(stdout);
    std::exit(status);
}

}  // namespace platform
