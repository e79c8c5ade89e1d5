// Scaling the landscape picture into the window's own pixels: whole-number nearest
// neighbour, one changed rectangle at a time, RGB565 turned into the window's format
// through a table. Also the gamepad's aim mark, drawn over the picture in window pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/desktop_mapping.h"
#include "platform/sdl/dirty_region.h"

namespace platform::desktop {

// The window's pixel value of every RGB565 colour.
class ColourTable {
  public:
    // `map` makes the window's value of one 8-bit-per-channel colour.
    template <typename Map>
    void build(Map map) {
        values_.resize(65536);
        for (uint32_t c = 0; c < 65536; ++c)
            values_[c] = map(expand(c >> 11, 31), expand((c >> 5) & 63, 63), expand(c & 31, 31));
    }
    uint32_t operator[](uint16_t c) const { return values_[c]; }
    bool empty() const { return values_.empty(); }
    // A channel of `max + 1` levels widened to 0..255, rounded down, as the window has
    // always shown the picture.
    static uint8_t expand(uint32_t value, uint32_t max) {
        return static_cast<uint8_t>(value * 255 / max);
    }

  private:
    std::vector<uint32_t> values_;
};

// A target of 2 or 4 bytes per pixel, `pitch` bytes a row.
struct PixelTarget {
    uint8_t* pixels = nullptr;
    int pitch = 0;
    int bytesPerPixel = 4;
    int width = 0, height = 0;
};

// The window pixels that landscape rectangle `r` covers through viewport `v`, clipped
// to the target. Empty (w or h 0) when nothing of it is in the window.
struct PixelRect {
    int x = 0, y = 0, w = 0, h = 0;
};
PixelRect scaledRect(const LandscapeRect& r, const Viewport& v, int width, int height);

// Draws rectangle `r` of the 320 x 240 picture scaled into the target.
void scaleRect(const uint16_t* landscape, const LandscapeRect& r, const Viewport& v,
               const ColourTable& colours, const PixelTarget& target);

// The aim mark: a light cross with a dark outline, eleven landscape pixels across,
// centred on the landscape pixel under (lx, ly).
LandscapeRect aimMarkArea(double lx, double ly);
struct MarkBar {
    PixelRect rect;
    bool light;
};
// Outline bars first, then the light cross; in window pixels, not clipped.
std::vector<MarkBar> aimMarkBars(const Viewport& v, double lx, double ly);

}  // namespace platform::desktop
