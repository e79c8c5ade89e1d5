// The blitters against SDL2's software blits of the same work, on RGB565 surfaces: the
// game's sprites drawn over a scene tile in a 240 x 320 screen, the way the canvas draws
// them. Each pair is checked before it is timed: identical output, or for the 50 % mix
// within one step per channel, or for the soft edge identical apart from the edge pixels.
#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "graphics/blitters.h"
#include "side_by_side.h"

namespace {

using side_by_side::GamePicture;
using Surface = std::shared_ptr<SDL_Surface>;

constexpr int kW = 240, kH = 320;

// A surface of SDL's own holding a copy of the bitmap, with the blit mode that `setUp` sets.
template <typename SetUp>
Surface surfaceOf(const Bitmap& b, SetUp setUp) {
    SDL_Surface* s =
        SDL_CreateRGBSurfaceWithFormat(0, b.width, b.height, 16, SDL_PIXELFORMAT_RGB565);
    if (s == nullptr) {
        std::fprintf(stderr, "SDL could not make a surface: %s\n", SDL_GetError());
        std::exit(2);
    }
    for (int y = 0; y < b.height; ++y)
        std::memcpy(static_cast<uint8_t*>(s->pixels) + y * s->pitch, b.row(y),
                    static_cast<size_t>(b.width) * 2);
    setUp(s);
    return Surface(s, SDL_FreeSurface);
}

uint16_t sdlAt(const Surface& s, int x, int y) {
    uint16_t p;
    std::memcpy(&p, static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * 2, 2);
    return p;
}

// Our screen and SDL's, both starting from the scene tile.
struct Screens {
    const Bitmap& tile;
    std::shared_ptr<Bitmap> ours = std::make_shared<Bitmap>(kW, kH);
    Surface sdl = surfaceOf(tile, [](SDL_Surface*) {});
    explicit Screens(const Bitmap& t) : tile(t) {}
    void reset() {
        copyRect(tile, *ours, 0, 0, Rect{0, 0, kW, kH});
        for (int y = 0; y < kH; ++y)
            std::memcpy(static_cast<uint8_t*>(sdl->pixels) + y * sdl->pitch, tile.row(y), kW * 2);
    }
};

// How far the two screens lie apart: the largest difference of one channel in its own
// steps (5, 6 and 5 bits), and the number of pixels that differ at all.
struct Difference {
    int maxStep = 0;
    long pixels = 0;
};

template <typename Expected>
Difference differ(const Screens& s, Expected expected) {
    Difference d;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const uint16_t a = s.ours->at(x, y), b = expected(x, y, sdlAt(s.sdl, x, y));
            if (a == b) continue;
            ++d.pixels;
            const int steps[3] = {std::abs((a >> 11) - (b >> 11)),
                                  std::abs(((a >> 5) & 63) - ((b >> 5) & 63)),
                                  std::abs((a & 31) - (b & 31))};
            for (int st : steps) d.maxStep = std::max(d.maxStep, st);
        }
    return d;
}

void compare(const GamePicture& tile, const GamePicture& p, bool keyed) {
    const Bitmap& src = *p.pixels;
    const int w = src.width, h = src.height;
    const int x = (kW - w) / 2, y = (kH - h) / 3;
    const Rect r{0, 0, w, h};
    const uint16_t key = src.at(0, 0);  // the game takes a sprite's key from its top-left
    const std::string base = "blit/" + p.name + "/";
    const int64_t items = static_cast<int64_t>(w) * h;

    // Our blit and SDL's on fresh screens, then the timed pair. Ours is checked as the
    // timing runs it: a picture drawn again unchanged may take another path than its
    // first draw (the soft-edged copy's run table), so the check is on its third draw.
    auto sideBySide = [&](const std::string& what, const std::string& ours, const std::string& peer,
                          auto ourBlit, const Surface& sdlSrc, auto expected, int allowedStep) {
        auto screens = std::make_shared<Screens>(*tile.pixels);
        for (int draw = 0; draw < 3; ++draw) {
            screens->reset();
            ourBlit(*screens->ours);
        }
        auto sdlBlit = [screens, sdlSrc, x, y] {
            SDL_Rect to{x, y, sdlSrc->w, sdlSrc->h};
            SDL_BlitSurface(sdlSrc.get(), nullptr, screens->sdl.get(), &to);
        };
        sdlBlit();
        const Difference d = differ(*screens, expected);
        const bool agree = d.maxStep <= allowedStep;
        std::string detail;
        if (d.pixels > 0)
            detail =
                std::to_string(d.pixels) + " px apart, <= " + std::to_string(d.maxStep) + " step";
        side_by_side::add(
            base + ours, [screens, ourBlit] { ourBlit(*screens->ours); }, items);
        side_by_side::add(base + peer, sdlBlit, items);
        side_by_side::pair(p.name + ": " + what, base + ours, base + peer, agree, detail);
    };
    auto asIs = [](int, int, uint16_t sdl) { return sdl; };

    const Surface opaque = surfaceOf(src, [](SDL_Surface*) {});
    sideBySide(
        "opaque vs SDL opaque", "copy", "sdl_opaque",
        [&src, x, y, r](Bitmap& d) { copyRect(src, d, x, y, r); }, opaque, asIs, 0);
    if (!keyed) return;

    const Surface colourKey = surfaceOf(src, [key](SDL_Surface* s) { SDL_SetColorKey(s, 1, key); });
    const Surface colourKeyRle = surfaceOf(src, [key](SDL_Surface* s) {
        SDL_SetColorKey(s, 1, key);
        SDL_SetSurfaceRLE(s, 1);
    });
    const Surface keyAlpha = surfaceOf(src, [key](SDL_Surface* s) {
        SDL_SetColorKey(s, 1, key);
        SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
        SDL_SetSurfaceAlphaMod(s, 128);
    });
    auto keyedCopy = [&src, x, y, r, key](Bitmap& d) { keyedCopyRect(src, d, x, y, r, key); };
    sideBySide("keyed copy vs SDL colour key", "keyed_copy", "sdl_colour_key", keyedCopy, colourKey,
               asIs, 0);
    sideBySide("keyed copy vs SDL colour key RLE", "keyed_copy", "sdl_colour_key_rle", keyedCopy,
               colourKeyRle, asIs, 0);
    // The soft edge half-mixes the pixels whose key-ness differs from the one above; all
    // others must match SDL's hard-edged copy.
    const Bitmap& bg = *tile.pixels;
    auto softEdge = [&src, &bg, x, y, w, h, key](int px, int py, uint16_t sdl) {
        const int sx = px - x, sy = py - y;
        if (sx < 0 || sy < 1 || sx >= w || sy >= h) return sdl;
        const uint16_t s = src.at(sx, sy);
        if ((s == key) == (src.at(sx, sy - 1) == key)) return sdl;
        return mixPixel(s, bg.at(px, py));
    };
    sideBySide(
        "soft-edged keyed copy vs SDL colour key RLE", "keyed_soft", "sdl_colour_key_rle",
        [&src, x, y, r, key](Bitmap& d) { keyedSoftRect(src, d, x, y, r, key); }, colourKeyRle,
        softEdge, 0);
    sideBySide(
        "keyed 50 % mix vs SDL colour key + alpha 128", "keyed_mix", "sdl_key_alpha128",
        [&src, x, y, r, key](Bitmap& d) { keyedMixRect(src, d, x, y, r, key); }, keyAlpha, asIs, 1);
}

}  // namespace

int main(int argc, char** argv) {
    const auto& pictures = side_by_side::gamePictures();
    for (const GamePicture& p : pictures) compare(pictures.front(), p, &p != &pictures.front());
    return side_by_side::runAndReport(argc, argv);
}
