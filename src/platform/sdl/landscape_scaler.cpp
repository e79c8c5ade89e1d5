#include "platform/sdl/landscape_scaler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform::desktop {
namespace {

constexpr int kMarkArm = 5;  // landscape pixels from the centre to the cross's ends

template <typename Pixel>
void scaleInto(const uint16_t* landscape, const PixelRect& out, const Viewport& v,
               const ColourTable& colours, const PixelTarget& t) {
    const int s = v.scale;
    const size_t rowBytes = static_cast<size_t>(out.w) * sizeof(Pixel);
    for (int py = out.y; py < out.y + out.h;) {
        const int ly = (py - v.y) / s;
        const int rowEnd = std::min(out.y + out.h, v.y + (ly + 1) * s);
        const uint16_t* src = landscape + ly * kLandscapeWidth;
        auto* first =
            reinterpret_cast<Pixel*>(t.pixels + static_cast<ptrdiff_t>(py) * t.pitch) + out.x;
        // One run of `s` equal pixels per landscape pixel; the first and last may be cut.
        Pixel* dst = first;
        int px = out.x;
        int lx = (px - v.x) / s;
        int runEnd = std::min(out.x + out.w, v.x + (lx + 1) * s);
        while (px < out.x + out.w) {
            const Pixel c = static_cast<Pixel>(colours[src[lx]]);
            for (; px < runEnd; ++px) *dst++ = c;
            ++lx;
            runEnd = std::min(out.x + out.w, runEnd + s);
        }
        for (int y = py + 1; y < rowEnd; ++y)
            std::memcpy(t.pixels + static_cast<ptrdiff_t>(y) * t.pitch + out.x * sizeof(Pixel),
                        first, rowBytes);
        py = rowEnd;
    }
}

PixelRect clip(PixelRect r, int width, int height) {
    const int right = std::min(r.x + r.w, width), bottom = std::min(r.y + r.h, height);
    r.x = std::max(r.x, 0);
    r.y = std::max(r.y, 0);
    r.w = std::max(0, right - r.x);
    r.h = std::max(0, bottom - r.y);
    if (r.w == 0 || r.h == 0) r.w = r.h = 0;
    return r;
}

}  // namespace

PixelRect scaledRect(const LandscapeRect& r, const Viewport& v, int width, int height) {
    const int s = v.scale;
    return clip(PixelRect{v.x + r.left * s, v.y + r.top * s, (r.right - r.left) * s,
                          (r.bottom - r.top) * s},
                width, height);
}

void scaleRect(const uint16_t* landscape, const LandscapeRect& r, const Viewport& v,
               const ColourTable& colours, const PixelTarget& target) {
    const PixelRect out = scaledRect(r, v, target.width, target.height);
    if (out.w == 0 || v.scale < 1) return;
    if (target.bytesPerPixel == 4)
        scaleInto<uint32_t>(landscape, out, v, colours, target);
    else if (target.bytesPerPixel == 2)
        scaleInto<uint16_t>(landscape, out, v, colours, target);
}

LandscapeRect aimMarkArea(double lx, double ly) {
    const int x = static_cast<int>(std::floor(lx)), y = static_cast<int>(std::floor(ly));
    return {x - kMarkArm - 1, y - kMarkArm - 1, x + kMarkArm + 2, y + kMarkArm + 2};
}

std::vector<MarkBar> aimMarkBars(const Viewport& v, double lx, double ly) {
    const int s = v.scale;
    const int cx = v.x + static_cast<int>(std::floor(lx)) * s;
    const int cy = v.y + static_cast<int>(std::floor(ly)) * s;
    // Bars of `arm` landscape pixels each way from the centre pixel, `thick` across.
    auto bars = [&](int arm, int thick, bool light) {
        const int half = (thick - 1) / 2;
        return std::vector<MarkBar>{
            {{cx - arm * s, cy - half * s, (2 * arm + 1) * s, thick * s}, light},
            {{cx - half * s, cy - arm * s, thick * s, (2 * arm + 1) * s}, light},
        };
    };
    std::vector<MarkBar> out = bars(kMarkArm + 1, 3, false);
    for (const MarkBar& b : bars(kMarkArm, 1, true)) out.push_back(b);
    return out;
}

}  // namespace platform::desktop
