// What a window on SDL's dummy video driver shows at a landscape pixel.
#pragma once

#include <SDL.h>

#include <cstring>
#include <tuple>

#include "platform/desktop_mapping.h"

// The window's pixel at landscape (lx, ly), as 8-bit red, green, blue.
inline std::tuple<int, int, int> shownPixel(SDL_Window* window, int lx, int ly) {
    SDL_Surface* s = SDL_GetWindowSurface(window);
    const platform::Viewport v = platform::letterbox(s->w, s->h);
    const auto* row = static_cast<const uint8_t*>(s->pixels) + (v.y + ly * v.scale) * s->pitch;
    uint32_t value = 0;
    std::memcpy(&value, row + (v.x + lx * v.scale) * 4, 4);
    uint8_t r = 0, g = 0, b = 0;
    SDL_GetRGB(value, s->format, &r, &g, &b);
    return {r, g, b};
}
