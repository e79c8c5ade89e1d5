// The window's class and icon.
#include "platform/sdl/window_identity.h"

#include <SDL.h>

#include <cstdlib>

#ifndef TALLREED_APP_ID
#error "the build defines TALLREED_APP_ID, the id the desktop entry is installed under"
#endif

extern "C" const uint8_t tallreed_window_icon_begin[];
extern "C" const uint8_t tallreed_window_icon_end[];

namespace platform::desktop {

void nameWindowClass() {
    // The desktop entry's StartupWMClass (X11) and its file name (Wayland's app id) are
    // both the application id, so task bars find the entry, its name and icon.
    setenv("SDL_VIDEO_X11_WMCLASS", TALLREED_APP_ID, 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", TALLREED_APP_ID, 0);
}

std::span<const uint8_t> windowIconPixels() {
    return {tallreed_window_icon_begin,
            static_cast<size_t>(tallreed_window_icon_end - tallreed_window_icon_begin)};
}

void setWindowIcon(SDL_Window* window) {
    const std::span<const uint8_t> pixels = windowIconPixels();
    if (window == nullptr || pixels.size() != 4u * kWindowIconSize * kWindowIconSize) return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint8_t*>(pixels.data()), kWindowIconSize, kWindowIconSize, 32,
        4 * kWindowIconSize, SDL_PIXELFORMAT_RGBA32);
    if (icon == nullptr) return;
    SDL_SetWindowIcon(window, icon);  // SDL keeps its own copy
    SDL_FreeSurface(icon);
}

}  // namespace platform::desktop
