#include "graphics/canvas.h"

#include <gtest/gtest.h>

#include <memory>

#include "graphics/blitters.h"
#include "graphics/sprite.h"
#include "graphics_test_util.h"

namespace {

using gtest_util::windowAt;

class CanvasTest : public gtest_util::HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        canvas = std::make_unique<Canvas>();
    }
    // A sprite over a solid image of its own.
    Sprite* solidSprite(int x, int y, int w, int h, uint16_t colour, bool saveUnder = false) {
        images.emplace_back(gtest_util::makeImage(w, h, [colour](int, int) { return colour; }));
        sprites.push_back(std::make_unique<Sprite>());
        sprites.back()->setFromImage(images.back().get(), x, y, saveUnder, false, false, 0);
        return sprites.back().get();
    }
    std::unique_ptr<Canvas> canvas;
    std::vector<std::unique_ptr<Image>> images;
    std::vector<std::unique_ptr<Sprite>> sprites;
};

TEST_F(CanvasTest, BackBufferIsTheCurrentTargetWithWordAlignedRows) {
    ASSERT_NE(canvas->backBuffer(), nullptr);
    EXPECT_EQ(currentTarget, canvas->backBuffer());
    EXPECT_EQ(canvas->backBuffer()->width, 240);
    EXPECT_EQ(canvas->backBuffer()->height, 320);
    EXPECT_EQ(canvas->backBuffer()->stride, 480);
    DibBitmap odd(13, 2);
    EXPECT_EQ(odd.stride, 28);
    DibBitmap even(14, 2);
    EXPECT_EQ(even.stride, 28);
}

TEST_F(CanvasTest, DirtyRectanglesMergeByTheAreaRule) {
    struct Case {
        Rect a, b;
        int count;
        Rect first;
    };
    const Case cases[] = {
        // Equal rectangles always merge.
        {{10, 10, 20, 20}, {10, 10, 20, 20}, 1, {10, 10, 20, 20}},
        // Side by side: union 200 < 1.5 x 200.
        {{0, 0, 10, 10}, {10, 0, 20, 10}, 1, {0, 0, 20, 10}},
        // A gap of 5: union 250 < 300.
        {{0, 0, 10, 10}, {15, 0, 25, 10}, 1, {0, 0, 25, 10}},
        // A gap of 10: union exactly 300 is not smaller: separate.
        {{0, 0, 10, 10}, {20, 0, 30, 10}, 2, {0, 0, 10, 10}},
        // 100 pixels apart: separate.
        {{0, 0, 10, 10}, {110, 0, 120, 10}, 2, {0, 0, 10, 10}},
        // Diagonal neighbours: union 400 > 300.
        {{0, 0, 10, 10}, {10, 10, 20, 20}, 2, {0, 0, 10, 10}},
        // A small one inside a large one.
        {{0, 0, 100, 100}, {40, 40, 50, 50}, 1, {0, 0, 100, 100}},
    };
    for (const Case& c : cases) {
        canvas->dirtyCount = 0;
        canvas->addDirtyRect(c.a.left, c.a.top, c.a.right, c.a.bottom);
        canvas->addDirtyRect(c.b.left, c.b.top, c.b.right, c.b.bottom);
        ASSERT_EQ(canvas->dirtyCount, c.count) << c.b.left << "," << c.b.top;
        EXPECT_EQ(canvas->dirty[0].left, c.first.left);
        EXPECT_EQ(canvas->dirty[0].right, c.first.right);
        EXPECT_EQ(canvas->dirty[0].bottom, c.first.bottom);
    }
}

TEST_F(CanvasTest, TheFirstQualifyingRectangleGrowsAndIsNotComparedAgain) {
    canvas->addDirtyRect(0, 0, 10, 10);
    canvas->addDirtyRect(30, 0, 40, 10);
    canvas->addDirtyRect(10, 0, 20, 10);  // merges with the first only
    ASSERT_EQ(canvas->dirtyCount, 2);
    EXPECT_EQ(canvas->dirty[0].right, 20);
    EXPECT_EQ(canvas->dirty[1].left, 30);
}

TEST_F(CanvasTest, MoreThanTwentyRectanglesAllReachTheWindow) {
    fillBitmap(*canvas->backBuffer(), 0xF800);
    // 40 small rectangles far apart from each other.
    for (int i = 0; i < 40; ++i) {
        const int x = (i % 8) * 30, y = (i / 8) * 60;
        canvas->addDirtyRect(x, y, x + 5, y + 5);
        ASSERT_LE(canvas->dirtyCount, Canvas::kMaxDirty);
    }
    canvas->flushRects();
    EXPECT_EQ(canvas->dirtyCount, 0);
    for (int i = 0; i < 40; ++i) {
        const int x = (i % 8) * 30, y = (i / 8) * 60;
        EXPECT_EQ(windowAt(x, y), 0xF800) << i;
        EXPECT_EQ(windowAt(x + 4, y + 4), 0xF800) << i;
    }
}

TEST_F(CanvasTest, FlushingAnEmptyListPresentsNothing) {
    const uint64_t before = headless::presentCount();
    canvas->flushRects();
    EXPECT_EQ(headless::presentCount(), before);
    EXPECT_EQ(canvas->dirtyCount, 0);
}

TEST_F(CanvasTest, OnlyDirtyRectanglesReachTheWindowUntilPresentAll) {
    fillBitmap(*canvas->backBuffer(), 0x07E0);
    canvas->addDirtyRect(10, 20, 30, 40);
    canvas->flushRects();
    EXPECT_EQ(windowAt(10, 20), 0x07E0);
    EXPECT_EQ(windowAt(29, 39), 0x07E0);
    EXPECT_EQ(windowAt(30, 39), 0);
    EXPECT_EQ(windowAt(29, 40), 0);
    canvas->presentAll();
    EXPECT_EQ(windowAt(239, 319), 0x07E0);
}

TEST_F(CanvasTest, SpritesAtTheEdgesAreNotPainted) {
    struct Case {
        int x, y, w, h;
    };
    for (const Case& c : {Case{240, 10, 20, 20}, Case{-20, 10, 20, 20}, Case{10, 320, 20, 20},
                          Case{10, -20, 20, 20}, Case{-100, 100, 30, 10}}) {
        Sprite* s = solidSprite(c.x, c.y, c.w, c.h, 0xFFFF, true);
        canvas->paintSprite(*s);
        canvas->eraseSprite(*s);
        EXPECT_EQ(canvas->dirtyCount, 0) << c.x << "," << c.y;
    }
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x) ASSERT_EQ(canvas->backBuffer()->at(x, y), 0);
}

TEST_F(CanvasTest, OneColumnOnScreenIsPainted) {
    Sprite* right = solidSprite(239, 0, 20, 20, 0x1111);
    Sprite* left = solidSprite(-19, 50, 20, 20, 0x2222);
    canvas->paintSprite(*right);
    canvas->paintSprite(*left);
    EXPECT_EQ(canvas->backBuffer()->at(239, 19), 0x1111);
    EXPECT_EQ(canvas->backBuffer()->at(0, 69), 0x2222);
    EXPECT_EQ(canvas->backBuffer()->at(1, 69), 0);
}

TEST_F(CanvasTest, HalfOffTheLeftEdgeDrawsTheVisibleColumnsAndRecordsThem) {
    images.emplace_back(gtest_util::makeImage(30, 8, [](int x, int) { return 100 + x; }));
    Sprite s;
    s.setFromImage(images.back().get(), -10, 50, false, false, false, 0);
    canvas->paintSprite(s);
    for (int x = 0; x < 20; ++x) EXPECT_EQ(canvas->backBuffer()->at(x, 53), 110 + x);
    EXPECT_EQ(canvas->backBuffer()->at(20, 53), 0);
    ASSERT_EQ(canvas->dirtyCount, 1);
    EXPECT_EQ(canvas->dirty[0].left, 0);
    EXPECT_EQ(canvas->dirty[0].top, 50);
    EXPECT_EQ(canvas->dirty[0].right, 20);
    EXPECT_EQ(canvas->dirty[0].bottom, 58);
}

TEST_F(CanvasTest, BottomRightCornerIsClippedToTheScreen) {
    Sprite* s = solidSprite(230, 310, 20, 30, 0x3333);
    canvas->paintSprite(*s);
    ASSERT_EQ(canvas->dirtyCount, 1);
    EXPECT_EQ(canvas->dirty[0].right, 240);
    EXPECT_EQ(canvas->dirty[0].bottom, 320);
    EXPECT_EQ(canvas->backBuffer()->at(239, 319), 0x3333);
    EXPECT_EQ(canvas->backBuffer()->at(229, 319), 0);
}

TEST_F(CanvasTest, SaveUnderRestoresTheBackgroundOnErase) {
    Bitmap& bb = *canvas->backBuffer();
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x) bb.set(x, y, static_cast<uint16_t>(x * 7 + y));
    // Partly off the top: the save image keeps the visible part at the same offset.
    Sprite* s = solidSprite(100, -5, 10, 10, 0xFFFF, true);
    canvas->paintSprite(*s);
    EXPECT_EQ(bb.at(105, 4), 0xFFFF);
    EXPECT_EQ(s->saveUnder->pixel(5, 9), static_cast<uint16_t>(105 * 7 + 4));
    canvas->dirtyCount = 0;
    canvas->eraseSprite(*s);
    for (int y = 0; y < 6; ++y)
        for (int x = 100; x < 110; ++x) ASSERT_EQ(bb.at(x, y), static_cast<uint16_t>(x * 7 + y));
    ASSERT_EQ(canvas->dirtyCount, 1);
    EXPECT_EQ(canvas->dirty[0].top, 0);
    EXPECT_EQ(canvas->dirty[0].bottom, 5);
}

TEST_F(CanvasTest, TheOriginShiftsSceneSpritesButNotAbsoluteOnes) {
    canvas->originY = 300;
    Sprite* scene = solidSprite(10, 310, 4, 4, 0x4444);
    Sprite* absolute = solidSprite(50, 10, 4, 4, 0x5555);
    canvas->paintSprite(*scene);
    canvas->paintSpriteAbsolute(*absolute);
    EXPECT_EQ(canvas->backBuffer()->at(10, 10), 0x4444);
    EXPECT_EQ(canvas->backBuffer()->at(50, 10), 0x5555);
    // The same scene sprite is off screen with the origin at 0.
    canvas->originY = 0;
    scene->y = 330;
    canvas->dirtyCount = 0;
    canvas->paintSprite(*scene);
    EXPECT_EQ(canvas->dirtyCount, 0);
}

TEST_F(CanvasTest, KeyedAndBlendedSpritesUseTheirPixelOperation) {
    const uint16_t key = 0xB539;
    fillBitmap(*canvas->backBuffer(), 0x0000);
    images.emplace_back(gtest_util::makeImage(
        3, 3, [key](int x, int y) { return (x == 0 && y == 0) || x == 2 ? key : 0xFFFF; }));
    Sprite keyed;
    keyed.setFromImage(images.back().get(), 0, 0, false, true, false, kKeyFromImage);
    EXPECT_EQ(keyed.key, key);
    canvas->paintSprite(keyed);
    EXPECT_EQ(canvas->backBuffer()->at(0, 0), 0);                    // key
    EXPECT_EQ(canvas->backBuffer()->at(1, 0), 0xFFFF);               // top row copies
    EXPECT_EQ(canvas->backBuffer()->at(0, 1), mixPixel(0xFFFF, 0));  // under a key: soft
    EXPECT_EQ(canvas->backBuffer()->at(2, 2), 0);

    Sprite blended;
    blended.setFromImage(images.back().get(), 10, 0, false, false, true, 0);
    canvas->paintSprite(blended);
    EXPECT_EQ(canvas->backBuffer()->at(11, 1), 0x7BEF);
    EXPECT_EQ(canvas->backBuffer()->at(12, 1), mixPixel(key, 0));
}

TEST_F(CanvasTest, GreyBackBufferDimsEveryPixel) {
    fillBitmap(*canvas->backBuffer(), 0xFFFF);
    canvas->greyBackBuffer();
    EXPECT_EQ(canvas->backBuffer()->at(0, 0), 0xBDD7);
    EXPECT_EQ(canvas->backBuffer()->at(239, 319), 0xBDD7);
}

}  // namespace
