// The command line's window options and the window's identity, on SDL's dummy driver
// (whose desktop is 1024 x 768). CTest runs every test in a process of its own, so the
// window is made here for the first time.
#include "platform/sdl/window_options.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "platform/sdl/desktop_window.h"
#include "platform/sdl/window_identity.h"

namespace {

using namespace platform;

bool firstWindow(const desktop::WindowOptions& options) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    int w = 0, h = 0;
    desktop::windowSize(w, h);
    if (w != 0) return false;  // run in one process with the other tests: already made
    desktop::setWindowOptions(options);
    return createWindow();
}

TEST(WindowOptions, FullscreenAppliesAtCreation) {
    desktop::WindowOptions options;
    options.mode = desktop::WindowOptions::Mode::Fullscreen;
    if (!firstWindow(options)) GTEST_SKIP() << "the window was made by an earlier test";
    EXPECT_TRUE(desktop::isFullscreen());
    SDL_Window* window = SDL_GetWindowFromID(1);  // the process's first window
    ASSERT_NE(window, nullptr);
    EXPECT_NE(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    desktop::toggleFullscreen();  // and F11 still leaves it
    EXPECT_FALSE(desktop::isFullscreen());
    EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
}

TEST(WindowOptions, ScaleSetsTheFirstWindowSize) {
    desktop::WindowOptions options;
    options.mode = desktop::WindowOptions::Mode::Window;
    options.scale = 2;
    if (!firstWindow(options)) GTEST_SKIP() << "the window was made by an earlier test";
    int w = 0, h = 0;
    desktop::windowSize(w, h);
    EXPECT_EQ(w * 1000 + h, 640 * 1000 + 480);
    EXPECT_FALSE(desktop::isFullscreen());
}

TEST(WindowOptions, AScaleTooLargeForTheDesktopIsLowered) {
    desktop::WindowOptions options;
    options.scale = 7;
    if (!firstWindow(options)) GTEST_SKIP() << "the window was made by an earlier test";
    int w = 0, h = 0;
    desktop::windowSize(w, h);
    EXPECT_EQ(w * 1000 + h, 960 * 1000 + 720);
    EXPECT_FALSE(desktop::isFullscreen());
}

TEST(WindowIdentity, ClassIsTheApplicationIdAndTheIconIsRound) {
    unsetenv("SDL_VIDEO_X11_WMCLASS");
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", "chosen.by.Player", 1);
    desktop::nameWindowClass();
    EXPECT_EQ(std::string(getenv("SDL_VIDEO_X11_WMCLASS")), TALLREED_APP_ID);
    EXPECT_EQ(std::string(getenv("SDL_VIDEO_WAYLAND_WMCLASS")), "chosen.by.Player");

    const auto pixels = desktop::windowIconPixels();
    constexpr int n = desktop::kWindowIconSize;
    ASSERT_EQ(pixels.size(), 4u * n * n);
    auto alpha = [&](int x, int y) { return pixels[4 * (y * n + x) + 3]; };
    EXPECT_EQ(alpha(0, 0) + alpha(n - 1, 0) + alpha(0, n - 1) + alpha(n - 1, n - 1), 0);
    for (int y = n / 4; y < n * 3 / 4; ++y)
        for (int x = n / 4; x < n * 3 / 4; ++x) ASSERT_EQ(alpha(x, y), 255) << x << "," << y;
}

}  // namespace
