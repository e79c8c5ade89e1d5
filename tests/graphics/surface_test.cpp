#include "graphics/surface.h"

#include <gtest/gtest.h>

#include <memory>

#include "graphics/animation_list.h"
#include "graphics/blitters.h"
#include "graphics/sprite.h"
#include "graphics_test_util.h"

namespace {

using gtest_util::windowAt;

class SurfaceTest : public gtest_util::HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        surface = std::make_unique<SceneSurface>(1, 3, 240, 320);
    }
    void TearDown() override {
        surface->list.clear();
        HeadlessTest::TearDown();
    }
    Sprite* solid(int x, int y, int w, int h, uint16_t colour, bool saveUnder) {
        images.emplace_back(gtest_util::makeImage(w, h, [colour](int, int) { return colour; }));
        sprites.push_back(std::make_unique<Sprite>());
        sprites.back()->setFromImage(images.back().get(), x, y, saveUnder, false, false, 0);
        return sprites.back().get();
    }
    Bitmap& back() { return *surface->backBuffer(); }

    std::unique_ptr<SceneSurface> surface;
    std::vector<std::unique_ptr<Image>> images;
    std::vector<std::unique_ptr<Sprite>> sprites;
};

TEST_F(SurfaceTest, AddingSetsTheLayerAndDirtiesPermanentSpritesOnly) {
    Sprite* permanent = solid(0, 0, 4, 4, 1, false);
    Sprite* moving = solid(0, 0, 4, 4, 1, true);
    surface->addSprite(permanent, 40);
    surface->addSprite(moving, 50);
    EXPECT_EQ(permanent->layer, 40);
    EXPECT_EQ(permanent->dirty, 1);
    EXPECT_EQ(moving->layer, 50);
    EXPECT_EQ(moving->dirty, 0);
    EXPECT_EQ(surface->list.itemAt(1), moving);
}

TEST_F(SurfaceTest, MarkDirtyReachesOnlyOverlappingPermanentSpritesAbove) {
    Sprite* s = solid(100, 100, 20, 20, 1, true);
    Sprite* above = solid(110, 110, 20, 20, 2, false);
    Sprite* sameLayer = solid(110, 110, 20, 20, 3, false);
    Sprite* below = solid(110, 110, 20, 20, 4, false);
    Sprite* touching = solid(120, 100, 20, 20, 5, false);  // shares only an edge
    Sprite* aboveWithSave = solid(110, 110, 20, 20, 6, true);
    surface->addSprite(below, 10);
    surface->addSprite(s, 50);
    surface->addSprite(sameLayer, 50);
    surface->addSprite(above, 90);
    surface->addSprite(touching, 90);
    surface->addSprite(aboveWithSave, 90);
    surface->redrawDirty();  // clears the flags that adding set
    for (Sprite* p : {above, sameLayer, below, touching}) ASSERT_EQ(p->dirty, 0);
    ASSERT_EQ(surface->minDirtyLayer, 255);

    surface->markDirty(s);
    EXPECT_EQ(surface->minDirtyLayer, 50);
    EXPECT_EQ(above->dirty, 1);
    EXPECT_EQ(sameLayer->dirty, 0);
    EXPECT_EQ(below->dirty, 0);
    EXPECT_EQ(touching->dirty, 0);
    EXPECT_EQ(aboveWithSave->dirty, 0);
}

TEST_F(SurfaceTest, SelectivePassShowsAMovingSpriteAndCleansItsOldPlace) {
    fillBitmap(back(), 0x0010);
    surface->presentAll();
    Sprite* duck = solid(20, 20, 10, 10, 0xFFE0, true);
    surface->addSprite(duck, 50);
    surface->markDirty(duck);
    surface->redrawDirty();
    EXPECT_EQ(windowAt(25, 25), 0xFFE0);
    EXPECT_EQ(back().at(25, 25), 0x0010) << "erased from the back buffer after the pass";

    duck->x = 100;
    surface->markDirty(duck);
    surface->redrawDirty();
    EXPECT_EQ(windowAt(105, 25), 0xFFE0);
    EXPECT_EQ(windowAt(25, 25), 0x0010) << "old place cleaned in the same copy";
    EXPECT_EQ(back().at(105, 25), 0x0010);
}

TEST_F(SurfaceTest, PermanentSpriteOverAMovingOneIsRepaintedOverIt) {
    Sprite* duck = solid(20, 20, 10, 10, 0xFFE0, true);
    Sprite* sign = solid(25, 25, 10, 10, 0x001F, false);
    surface->addSprite(duck, 50);
    surface->addSprite(sign, 90);
    surface->redrawDirty();
    EXPECT_EQ(windowAt(27, 27), 0x001F);
    surface->markDirty(duck);
    surface->redrawDirty();
    EXPECT_EQ(windowAt(27, 27), 0x001F) << "the higher layer stays on top";
    EXPECT_EQ(windowAt(21, 21), 0xFFE0);
    EXPECT_EQ(sign->dirty, 0);
}

TEST_F(SurfaceTest, NothingDirtyPresentsNothingNew) {
    Sprite* sign = solid(25, 25, 10, 10, 0x001F, false);
    surface->addSprite(sign, 90);
    surface->redrawDirty();
    const uint64_t before = headless::presentCount();
    surface->redrawDirty();
    EXPECT_EQ(headless::presentCount(), before);
}

TEST_F(SurfaceTest, PaintOnlyLeavesTheRectangleWaitingAndPaintAndFlushDropsOthers) {
    Sprite* a = solid(0, 0, 5, 5, 0x1234, false);
    Sprite* b = solid(100, 100, 5, 5, 0x4321, false);
    surface->paintOnly(a);
    EXPECT_EQ(back().at(0, 0), 0x1234);
    EXPECT_EQ(windowAt(0, 0), 0);
    EXPECT_EQ(surface->canvas.dirtyCount, 1);
    surface->paintAndFlush(b);
    EXPECT_EQ(windowAt(100, 100), 0x4321);
    EXPECT_EQ(windowAt(0, 0), 0) << "the earlier rectangle was dropped, not presented";
    EXPECT_EQ(surface->canvas.dirtyCount, 0);
}

TEST_F(SurfaceTest, RedrawAllPaintsEverySpriteInLayerOrder) {
    Sprite* low = solid(0, 0, 10, 10, 0x1111, false);
    Sprite* high = solid(5, 5, 10, 10, 0x2222, true);
    surface->addSprite(high, 200);
    surface->addSprite(low, 1);
    surface->redrawAll();
    EXPECT_EQ(windowAt(7, 7), 0x2222);
    EXPECT_EQ(windowAt(2, 2), 0x1111);
    EXPECT_EQ(back().at(7, 7), 0x1111) << "the save-under sprite is erased again";
    EXPECT_EQ(surface->minDirtyLayer, 255);
}

class SceneTest : public SurfaceTest {
  protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        // Three solid tiles, one colour each, with the top row of each marked.
        for (int r = 0; r < 3; ++r) {
            std::vector<uint16_t> px(240 * 320, colour(r));
            for (int x = 0; x < 240; ++x) px[x] = static_cast<uint16_t>(colour(r) + 1);
            gtest_util::providePicture(32000 + r, px);
        }
        surface->loadTiles([](int, int row) { return 32000 + row; });
    }
    static uint16_t colour(int row) { return static_cast<uint16_t>(0x1000 * (row + 1)); }
};

TEST_F(SceneTest, ScrollZeroShowsTheTopTileAndCullsTheOneBelow) {
    surface->setScroll(0, 0);
    surface->drawScene();
    EXPECT_EQ(surface->tileSprites[0]->y, 0);
    EXPECT_EQ(windowAt(0, 0), colour(0) + 1);
    EXPECT_EQ(windowAt(239, 319), colour(0));
    EXPECT_EQ(surface->canvas.dirtyCount, 0);
}

TEST_F(SceneTest, ScrollToTheBottomShowsTheLastRowOfTheMiddleTileThenTheBottomTile) {
    surface->setScroll(0, 639);
    EXPECT_EQ(surface->canvas.originY, 639);
    surface->drawScene();
    EXPECT_EQ(surface->tileSprites[1]->y, -319);
    EXPECT_EQ(surface->tileSprites[2]->y, 1);
    EXPECT_EQ(windowAt(100, 0), colour(1));
    EXPECT_EQ(windowAt(100, 1), colour(2) + 1);
    EXPECT_EQ(windowAt(100, 319), colour(2));
}

TEST_F(SceneTest, AddScrollMovesSceneSpritesWithTheView) {
    Sprite* duck = solid(50, 400, 4, 4, 0xFFFF, true);
    surface->addSprite(duck, 50);
    surface->setScroll(0, 300);
    surface->addScroll(0, 50);
    EXPECT_EQ(surface->scrollY(), 350);
    surface->drawScene();
    EXPECT_EQ(windowAt(51, 51), 0xFFFF);
    EXPECT_EQ(windowAt(51, 49), colour(1));
}

TEST_F(SceneTest, ScrollOutsideTheSceneDrawsNoTiles) {
    surface->setScroll(0, 960);
    surface->drawScene();
    surface->setScroll(0, -400);
    surface->drawScene();
    EXPECT_EQ(headless::presentCount(), 0u);
}

class AnimationStepTest : public SurfaceTest {
  protected:
    void SetUp() override {
        setAnimationList(&list);
        SurfaceTest::SetUp();  // the new surface binds itself to the list
        for (int i = 0; i < 3; ++i)
            frames.emplace_back(
                gtest_util::makeImage(6, 6, [i](int, int) { return 0x100 * (i + 1); }));
        Image* raw[3] = {frames[0].get(), frames[1].get(), frames[2].get()};
        set.borrow(raw, 3);
    }
    void TearDown() override {
        clearAnimated();
        SurfaceTest::TearDown();
        surface.reset();
        setAnimationList(nullptr);
    }
    AnimationList list;
    FrameSet set;
    std::vector<std::unique_ptr<Image>> frames;
};

TEST_F(AnimationStepTest, AFrameThatIsDueIsPaintedAndPresented) {
    ASSERT_EQ(list.surface, surface.get());
    AnimatedSprite fly;
    ASSERT_EQ(fly.initAnimation(&set, 10, 10, true, false, false, 100, PLAY_LOOP, 0), 1);
    addAnimated(surface.get(), &fly, 50);
    EXPECT_EQ(list.count, 1);
    EXPECT_TRUE(surface->list.contains(&fly));

    headless::setNow(1000050);
    const uint64_t before = headless::presentCount();
    animationStep();
    EXPECT_EQ(headless::presentCount(), before) << "no frame due: nothing painted";

    headless::setNow(1000100);
    animationStep();
    EXPECT_EQ(windowAt(12, 12), 0x200);
    headless::setNow(1000200);
    animationStep();
    EXPECT_EQ(windowAt(12, 12), 0x300);

    removeAnimated(&fly);
    EXPECT_EQ(list.count, 0);
    EXPECT_TRUE(surface->list.contains(&fly)) << "the surface keeps it until its owner removes it";
    surface->removeSprite(&fly);
}

}  // namespace
