#include "graphics/canvas.h"

#include <gtest/gtest.h>

#include <memory>

#include "graphics/blitters.h"
#include "graphics/sprite.h"
#include "graphics_test_util.h"

static bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
[[maybe_unused]] static std::ostream& operator<<(std::ostream& o, const Rect& r) {
    return o << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace {

using gtest_util::expectPixels;
using gtest_util::expectWindow;
using gtest_util::windowAt;
using Rects = std::vector<Rect>;

class CanvasTest : public gtest_util::HeadlessTest {
  protected:
    Rects dirty() const { return {canvas.dirty, canvas.dirty + canvas.dirtyCount}; }
    Bitmap& back() { return *canvas.backBuffer(); }
    Canvas canvas;
};

TEST_F(CanvasTest, BackBufferRowsArePaddedToWholeWords) {
    EXPECT_EQ(currentTarget, canvas.backBuffer());
    EXPECT_EQ(back().stride, 480);
    EXPECT_EQ(DibBitmap(13, 2).stride, 28);
    EXPECT_EQ(DibBitmap(14, 2).stride, 28);
}

TEST_F(CanvasTest, DirtyRectanglesMergeByTheAreaRule) {
    Rects grid;  // twenty 5 x 5 rectangles far apart fill the list
    for (int i = 0; i < 20; ++i)
        grid.push_back({i % 5 * 50, i / 5 * 80, i % 5 * 50 + 5, i / 5 * 80 + 5});
    Rects gridJoined = grid, gridPlus = grid;
    gridJoined[1].right = 65;
    gridPlus.push_back({60, 0, 65, 5});
    const std::pair<Rects, Rects> cases[] = {
        {{{10, 10, 20, 20}, {10, 10, 20, 20}}, {{10, 10, 20, 20}}},  // equal
        {{{0, 0, 10, 10}, {10, 0, 20, 10}}, {{0, 0, 20, 10}}},       // union 200 < 1.5 x 200
        {{{0, 0, 10, 10}, {15, 0, 25, 10}}, {{0, 0, 25, 10}}},       // 250 < 300
        {{{0, 0, 10, 10}, {20, 0, 30, 10}}, {{0, 0, 10, 10}, {20, 0, 30, 10}}},    // 300: not less
        {{{0, 0, 10, 10}, {10, 10, 20, 20}}, {{0, 0, 10, 10}, {10, 10, 20, 20}}},  // diagonal
        {{{0, 0, 100, 100}, {40, 40, 50, 50}}, {{0, 0, 100, 100}}},                // inside
        // The first qualifying rectangle grows and is not compared again.
        {{{0, 0, 10, 10}, {30, 0, 40, 10}, {10, 0, 20, 10}}, {{0, 0, 20, 10}, {30, 0, 40, 10}}},
        {gridPlus, gridJoined},  // a 21st joins the one whose union grows least
    };
    for (const auto& [add, expected] : cases) {
        canvas.dirtyCount = 0;
        for (const Rect& r : add) canvas.addDirtyRect(r.left, r.top, r.right, r.bottom);
        EXPECT_EQ(dirty(), expected) << add.size() << " rectangles";
    }
}

TEST_F(CanvasTest, FlushPresentsTheDirtyRectanglesOnly) {
    const uint64_t before = headless::presentCount();
    canvas.flushRects();
    EXPECT_EQ(headless::presentCount(), before) << "an empty list presents nothing";
    fillBitmap(back(), 0x07E0);
    canvas.addDirtyRect(10, 20, 30, 40);
    canvas.flushRects();
    EXPECT_EQ(canvas.dirtyCount, 0);
    expectWindow({{10, 20, 0x07E0}, {29, 39, 0x07E0}, {30, 39, 0}, {29, 40, 0}});
    canvas.presentAll();
    EXPECT_EQ(windowAt(239, 319), 0x07E0);
    fillBitmap(back(), 0xF800);  // 40 rectangles far apart all reach the window
    for (int i = 0; i < 40; ++i)
        canvas.addDirtyRect(i % 8 * 30, i / 8 * 60, i % 8 * 30 + 5, i / 8 * 60 + 5);
    canvas.flushRects();
    for (int i = 0; i < 40; ++i)
        expectWindow({{i % 8 * 30, i / 8 * 60, 0xF800}, {i % 8 * 30 + 4, i / 8 * 60 + 4, 0xF800}});
}

TEST_F(CanvasTest, SpritesAreClippedToTheScreen) {
    // x, y, w, h of the sprite; the rectangle painted, if any.
    const int cases[][8] = {
        {240, 10, 20, 20, 0, 0, 0, 0},          {-20, 10, 20, 20, 0, 0, 0, 0},
        {10, 320, 20, 20, 0, 0, 0, 0},          {10, -20, 20, 20, 0, 0, 0, 0},
        {-100, 100, 30, 10, 0, 0, 0, 0},        {239, 0, 20, 20, 239, 0, 240, 20},
        {-19, 50, 20, 20, 0, 50, 1, 70},        {-10, 50, 30, 8, 0, 50, 20, 58},
        {230, 310, 20, 30, 230, 310, 240, 320},
    };
    for (const auto& [x0, y0, w, h, l, t, r, b] : cases) {
        const Rects painted = r > l ? Rects{{l, t, r, b}} : Rects{};
        fillBitmap(back(), 0);
        canvas.dirtyCount = 0;
        Sprite s;
        s.setFromImage(image(w, h, [](int x, int y) { return 1 + x + 32 * y; }), x0, y0, true,
                       false, false, 0);
        canvas.paintSprite(s);
        ASSERT_EQ(dirty(), painted) << x0 << "," << y0;
        for (int y = 0; y < 320; ++y)
            for (int x = 0; x < 240; ++x) {
                const bool in = x >= l && x < r && y >= t && y < b;
                ASSERT_EQ(back().at(x, y), in ? 1 + (x - x0) + 32 * (y - y0) : 0) << x << "," << y;
            }
        canvas.eraseSprite(s);
        EXPECT_EQ(dirty(), painted) << "erasing touches the same area";
    }
}

TEST_F(CanvasTest, SaveUnderRestoresTheBackgroundOnErase) {
    gtest_util::fillWith(back(), [](int x, int y) { return x * 7 + y; });
    Sprite* s = solid(100, -5, 10, 10, 0xFFFF, true);  // partly off the top
    canvas.paintSprite(*s);
    EXPECT_EQ(back().at(105, 4), 0xFFFF);
    EXPECT_EQ(s->saveUnder->pixel(5, 9), 105 * 7 + 4) << "kept at the same offset";
    canvas.dirtyCount = 0;
    canvas.eraseSprite(*s);
    for (int y = 0; y < 6; ++y)
        for (int x = 100; x < 110; ++x)
            ASSERT_EQ(back().at(x, y), static_cast<uint16_t>(x * 7 + y));
    EXPECT_EQ(dirty(), (Rects{{100, 0, 110, 5}}));
}

TEST_F(CanvasTest, TheOriginShiftsSceneSpritesButNotAbsoluteOnes) {
    canvas.originY = 300;
    Sprite* scene = solid(10, 310, 4, 4, 0x4444);
    canvas.paintSprite(*scene);
    canvas.paintSpriteAbsolute(*solid(50, 10, 4, 4, 0x5555));
    expectPixels(back(), {{10, 10, 0x4444}, {50, 10, 0x5555}});
    canvas.originY = 0;
    scene->y = 330;
    canvas.dirtyCount = 0;
    canvas.paintSprite(*scene);
    EXPECT_EQ(canvas.dirtyCount, 0) << "off screen with the origin at 0";
}

TEST_F(CanvasTest, KeyedAndBlendedSpritesUseTheirPixelOperation) {
    const uint16_t key = 0xB539;
    Image* img =
        image(3, 3, [key](int x, int y) { return (x == 0 && y == 0) || x == 2 ? key : 0xFFFF; });
    Sprite keyed, blended;
    keyed.setFromImage(img, 0, 0, false, true, false, kKeyFromImage);
    EXPECT_EQ(keyed.key, key) << "the key taken from the top-left pixel";
    canvas.paintSprite(keyed);
    // Key, top row copied, soft edge under a key, key.
    expectPixels(back(), {{0, 0, 0}, {1, 0, 0xFFFF}, {0, 1, mixPixel(0xFFFF, 0)}, {2, 2, 0}});
    blended.setFromImage(img, 10, 0, false, false, true, 0);
    canvas.paintSprite(blended);
    expectPixels(back(), {{11, 1, 0x7BEF}, {12, 1, mixPixel(key, 0)}});
}

}  // namespace
