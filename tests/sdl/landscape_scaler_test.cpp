// The window's own scaler and the list of changed rectangles it works from.
#include "platform/sdl/landscape_scaler.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/sdl/dirty_region.h"

namespace {

using namespace platform;
using namespace platform::desktop;
using Rects = std::vector<LandscapeRect>;

TEST(DirtyRegion, RepeatsAreDroppedNeighboursMergeAndALongListBecomesOne) {
    DirtyRegion region;
    region.add({10, 10, 20, 20});
    region.add({12, 12, 18, 18});  // inside: nothing new
    region.add({10, 10, 20, 20});
    region.add({-5, 230, 4, 260});  // clipped to the picture
    region.add({50, 50, 50, 60});   // empty
    EXPECT_EQ(region.rects(), (Rects{{10, 10, 20, 20}, {0, 230, 4, 240}}));
    region.add({15, 10, 25, 20});  // overlaps by half: their union is hardly larger
    EXPECT_EQ(region.rects(), (Rects{{0, 230, 4, 240}, {10, 10, 25, 20}}));
    region.add({24, 19, 100, 100});  // a corner touch: the union would be much larger
    EXPECT_EQ(region.rects().size(), 3u);
    region.add({0, 0, 200, 200});  // swallows the ones inside it
    EXPECT_EQ(region.rects(), (Rects{{0, 230, 4, 240}, {0, 0, 200, 200}}));

    DirtyRegion many;
    for (int i = 0; i < DirtyRegion::kMaxRects + 1; ++i) many.add({i * 10, 0, i * 10 + 2, 2});
    EXPECT_EQ(many.rects(), (Rects{{0, 0, DirtyRegion::kMaxRects * 10 + 2, 2}}));
}

// Every window pixel shows the landscape pixel under it, at any scale and offset,
// including a picture cut at the window's edges; pixels outside the rectangle stay.
TEST(LandscapeScaler, EachWindowPixelShowsTheLandscapePixelUnderIt) {
    std::vector<uint16_t> picture(kLandscapeWidth * kLandscapeHeight);
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
    ColourTable colours;
    colours.build([](uint8_t r, uint8_t g, uint8_t b) { return uint32_t{r} << 16 | g << 8 | b; });
    const LandscapeRect rect{3, 5, 40, 30};
    for (const Viewport v : {Viewport{20, 10, 3}, Viewport{0, 0, 1}, Viewport{-7, -4, 2}}) {
        const int w = 700, h = 500;
        std::vector<uint32_t> window(w * h, 0xABCDEF);
        scaleRect(picture.data(), rect, v, colours,
                  PixelTarget{reinterpret_cast<uint8_t*>(window.data()), w * 4, 4, w, h});
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int lx = x - v.x >= 0 ? (x - v.x) / v.scale : -1;
                const int ly = y - v.y >= 0 ? (y - v.y) / v.scale : -1;
                const bool inside =
                    lx >= rect.left && lx < rect.right && ly >= rect.top && ly < rect.bottom;
                const uint32_t want =
                    inside ? colours[picture[ly * kLandscapeWidth + lx]] : 0xABCDEF;
                ASSERT_EQ(window[y * w + x], want) << x << "," << y << " scale " << v.scale;
            }
        }
    }
    // Channels widen as the window has always shown them: rounded down, white stays white.
    EXPECT_EQ(colours[0xFFFF], 0xFFFFFFu);
    EXPECT_EQ(colours[0x0000], 0u);
    EXPECT_EQ(colours[3 << 11], uint32_t{24} << 16);  // 3 * 255 / 31 = 24.7
    EXPECT_EQ(colours[4], 32u);                       // 4 * 255 / 31 = 32.9
}

TEST(LandscapeScaler, TheAimMarkIsCentredOnItsPixelAndCoveredByItsArea) {
    const Viewport v{20, 10, 3};
    const LandscapeRect area = aimMarkArea(100.7, 50.2);
    const std::vector<MarkBar> bars = aimMarkBars(v, 100.7, 50.2);
    ASSERT_EQ(bars.size(), 4u);
    // Every bar, the light cross's and its dark outline's, is centred on the middle of
    // landscape pixel (100, 50).
    EXPECT_TRUE(bars[2].light && !bars[0].light);
    for (const MarkBar& b : bars) {
        EXPECT_EQ(b.rect.x + b.rect.w / 2, 20 + 100 * 3 + 1);
        EXPECT_EQ(b.rect.y + b.rect.h / 2, 10 + 50 * 3 + 1);
    }
    for (const MarkBar& b : bars) {
        const PixelRect inside = scaledRect(area, v, 10000, 10000);
        EXPECT_GE(b.rect.x, inside.x);
        EXPECT_GE(b.rect.y, inside.y);
        EXPECT_LE(b.rect.x + b.rect.w, inside.x + inside.w);
        EXPECT_LE(b.rect.y + b.rect.h, inside.y + inside.h);
    }
}

}  // namespace
