#include "graphics/surface.h"

#include <tuple>

#include "graphics/animation_list.h"
#include "graphics/blitters.h"
#include "graphics_test_util.h"

namespace {

using gtest_util::expectWindow;

// A scene of three 240 x 320 tiles bound to the program's animation list.
class SurfaceTest : public gtest_util::HeadlessTest {
  protected:
    SurfaceTest() {
        setAnimationList(&anims);
        surface = std::make_unique<SceneSurface>(1, 3, 240, 320);
    }
    ~SurfaceTest() override {
        clearAnimated();
        surface.reset();
        setAnimationList(nullptr);
    }
    Bitmap& back() { return *surface->backBuffer(); }
    AnimationList anims;
    std::unique_ptr<SceneSurface> surface;
};

TEST_F(SurfaceTest, MarkDirtyReachesOnlyOverlappingPermanentSpritesAbove) {
    Sprite* s = solid(100, 100, 20, 20, 1, true);
    Sprite* above = solid(110, 110, 20, 20, 2);
    Sprite* sameLayer = solid(110, 110, 20, 20, 3);
    Sprite* below = solid(110, 110, 20, 20, 4);
    Sprite* touching = solid(120, 100, 20, 20, 5);  // shares only an edge
    Sprite* aboveWithSave = solid(110, 110, 20, 20, 6, true);
    for (auto [p, layer] : {std::pair{below, 10},
                            {s, 50},
                            {sameLayer, 50},
                            {above, 90},
                            {touching, 90},
                            {aboveWithSave, 90}})
        surface->addSprite(p, static_cast<uint8_t>(layer));
    EXPECT_EQ(above->layer, 90);
    EXPECT_TRUE(above->dirty && below->dirty && !s->dirty) << "adding dirties permanent ones";
    surface->redrawDirty();
    for (Sprite* p : {above, sameLayer, below, touching}) ASSERT_EQ(p->dirty, 0);
    ASSERT_EQ(surface->minDirtyLayer, 255);
    surface->markDirty(s);
    EXPECT_EQ(surface->minDirtyLayer, 50);
    EXPECT_EQ(above->dirty, 1);
    for (Sprite* p : {sameLayer, below, touching, aboveWithSave}) EXPECT_EQ(p->dirty, 0);
}

TEST_F(SurfaceTest, SelectivePassMovesASpriteUnderAPermanentOne) {
    fillBitmap(back(), 0x0010);
    surface->presentAll();
    Sprite* duck = solid(20, 20, 10, 10, 0xFFE0, true);
    Sprite* sign = solid(25, 25, 10, 10, 0x001F);
    surface->addSprite(duck, 50);
    surface->addSprite(sign, 90);
    surface->markDirty(duck);
    surface->redrawDirty();
    expectWindow({{21, 21, 0xFFE0}, {27, 27, 0x001F}});  // the higher layer stays on top
    EXPECT_EQ(back().at(21, 21), 0x0010) << "erased from the back buffer after the pass";
    EXPECT_EQ(sign->dirty, 0);
    duck->x = 100;
    surface->markDirty(duck);
    surface->redrawDirty();
    expectWindow({{105, 25, 0xFFE0}, {21, 21, 0x0010}});  // old place cleaned in the same copy
}

TEST_F(SurfaceTest, PaintOnlyWaitsPaintAndFlushDropsOthersRedrawAllPaintsEverything) {
    surface->addSprite(solid(200, 200, 5, 5, 0x0F0F), 90);
    surface->redrawDirty();
    const uint64_t before = headless::presentCount();
    surface->redrawDirty();
    EXPECT_EQ(headless::presentCount(), before) << "nothing dirty presents nothing";
    surface->paintOnly(solid(0, 0, 5, 5, 0x1234));
    EXPECT_EQ(back().at(0, 0), 0x1234);
    EXPECT_EQ(gtest_util::windowAt(0, 0), 0);
    surface->paintAndFlush(solid(100, 100, 5, 5, 0x4321));
    expectWindow({{100, 100, 0x4321}, {0, 0, 0}});  // the earlier rectangle dropped unpresented
    surface->addSprite(solid(5, 5, 10, 10, 0x2222, true), 200);
    surface->addSprite(solid(0, 0, 10, 10, 0x1111), 1);
    surface->redrawAll();
    expectWindow({{7, 7, 0x2222}, {2, 2, 0x1111}});
    EXPECT_EQ(back().at(7, 7), 0x1111) << "the save-under sprite is erased again";
}

TEST_F(SurfaceTest, SceneTilesFollowTheScroll) {
    auto colour = [](int row) { return 0x1000 * (row + 1); };
    for (int r = 0; r < 3; ++r) {  // each tile one colour, its top row one more
        std::vector<uint16_t> px(240 * 320, static_cast<uint16_t>(colour(r)));
        std::fill(px.begin(), px.begin() + 240, static_cast<uint16_t>(colour(r) + 1));
        gtest_util::providePicture(32000 + r, px);
    }
    surface->loadTiles([](int, int row) { return 32000 + row; });
    for (int y : {960, -400}) {  // outside the scene: no tiles
        surface->setScroll(0, y);
        surface->drawScene();
    }
    EXPECT_EQ(headless::presentCount(), 0u);
    surface->setScroll(0, 0);
    surface->drawScene();
    expectWindow({{0, 0, colour(0) + 1}, {239, 319, colour(0)}});
    surface->setScroll(0, 639);  // the last row of the middle tile, then the bottom tile
    surface->drawScene();
    expectWindow({{100, 0, colour(1)}, {100, 1, colour(2) + 1}, {100, 319, colour(2)}});
    surface->addSprite(solid(50, 400, 4, 4, 0xFFFF, true), 50);  // moves with the view
    surface->setScroll(0, 300);
    surface->addScroll(0, 50);
    surface->drawScene();
    expectWindow({{51, 51, 0xFFFF}, {51, 49, colour(1)}});
}

TEST_F(SurfaceTest, AScenesTilesAreAsManyAsItsClampedColumnsAndRows) {
    const std::tuple<int, int, int> cases[] = {{1, 0, 0},  {0, 3, 0},  {2, 3, 6},
                                               {-1, 2, 0}, {1, -4, 0}, {1, 99, 40}};
    for (auto [columns, rows, tiles] : cases) {
        SceneSurface scene(columns, rows, 240, 320);
        int loaded = 0;
        scene.loadTiles([&](int, int) { return ++loaded, 32000; });
        EXPECT_EQ(loaded, tiles) << columns << " x " << rows;
    }
}

TEST_F(SurfaceTest, AnimationStepPaintsTheFramesThatAreDue) {
    ASSERT_EQ(anims.surface, surface.get());
    std::vector<Image*> raw;
    for (int i = 0; i < 3; ++i)
        raw.push_back(image(6, 6, [i](int, int) { return 0x100 * (i + 1); }));
    FrameSet set;
    set.borrow(raw.data(), 3);
    AnimatedSprite fly;
    ASSERT_EQ(fly.initAnimation(&set, 10, 10, true, false, false, 100, PLAY_LOOP, 0), 1);
    addAnimated(surface.get(), &fly, 50);
    EXPECT_TRUE(surface->list.contains(&fly));
    for (auto [now, pixel] : {std::pair{1000050, 0}, {1000100, 0x200}, {1000200, 0x300}}) {
        headless::setNow(now);
        animationStep();
        EXPECT_EQ(gtest_util::windowAt(12, 12), pixel) << now;
        EXPECT_EQ(headless::presentCount() > 0, pixel != 0) << "painted only when a frame is due";
    }
    removeAnimated(&fly);
    EXPECT_EQ(anims.count, 0);
    EXPECT_TRUE(surface->list.contains(&fly)) << "the surface keeps it until its owner removes it";
    surface->removeSprite(&fly);
}

}  // namespace
