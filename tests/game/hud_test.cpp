// The score counter, the shell magazine, shot marks, hit bursts and score pop-ups.
#include <cstdlib>

#include "game/effect_sprite.h"
#include "game/hit_effects.h"
#include "game/moving_number.h"
#include "game/moving_picture.h"
#include "game/scene_props.h"
#include "game/score_counter.h"
#include "game/score_popups.h"
#include "game/shell_magazine.h"
#include "game/shot_marks.h"
#include "graphics/picture_decoder.h"
#include "graphics/picture_font.h"
#include "graphics/picture_ids.h"
#include "round_fixture.h"

namespace {

// Rolls the counter until it shows the total, recording every value shown.
std::vector<int32_t> roll(ScoreCounter& c) {
    std::vector<int32_t> shown;
    for (int i = 0; i < 1000 && c.shown != c.total; ++i) {
        c.Tick();
        shown.push_back(c.shown);
    }
    return shown;
}

TEST(ScoreCounterTest, RollsOneUnitPerTickTowardsANonNegativeTotal) {
    for (auto [start, add, total] : {std::tuple{30, 25, 55}, {10, -25, 0}, {0, -5, 0}}) {
        ScoreCounter sc;
        sc.total = sc.shown = start;
        sc.AddPoints(add);
        EXPECT_EQ(sc.total, total);
        const auto shown = roll(sc);
        ASSERT_EQ(shown.size(), static_cast<size_t>(std::abs(total - start)));
        for (size_t i = 0; i < shown.size(); ++i)
            EXPECT_EQ(std::abs(shown[i] - start), static_cast<int>(i) + 1) << start;
    }
    // A second addition restarts the roll from the old total, not from what is shown.
    ScoreCounter c;
    c.AddPoints(10);
    c.Tick();
    c.Tick();
    ASSERT_EQ(c.shown, 2);
    c.AddPoints(-50);
    EXPECT_EQ(c.shown, 10);
    EXPECT_EQ(roll(c).size(), 10u);
    EXPECT_EQ(ScoreCounter::TextOf(1234), u"1234");
    EXPECT_EQ(ScoreCounter::TextOf(-5), u"0");
}

class HudTest : public RoundFixture {};

TEST_F(HudTest, MagazineStepsThroughItsFramesReloadsAndLeavesWhenCleared) {
    ShellMagazine mag;
    surface->setScroll(0, 639);
    mag.Init(212, 5, surface.get(), 7);
    ASSERT_NE(mag.strip, nullptr);
    EXPECT_EQ(mag.strip->y, 644);
    // Shots in the same millisecond or not take one picture each, none below empty.
    for (int k = 1; k <= 8; ++k) {
        if (k > 4) advance(10);
        mag.Shoot();
        EXPECT_EQ(ints(mag.shells, mag.strip->current), ints(std::max(0, 7 - k), std::min(k, 7)));
    }
    mag.Reload();
    EXPECT_EQ(ints(mag.shells, mag.strip->current), ints(7, 0));
    const Sprite* strip = mag.strip;
    mag.Clear();
    EXPECT_FALSE(surface->list.contains(strip));  // gone from the screen
    EXPECT_EQ(mag.strip, nullptr);
    mag.Clear();  // twice is harmless
}

TEST_F(HudTest, ShotMarksSitUnderThePenWhateverTheScrollAtMostTwentyNine) {
    ShotMarks marks;
    marks.Init(surface.get());
    for (auto [x, y, scroll, sceneX, sceneY] :
         {std::tuple{100, 150, 320, 86, 455}, {0, 0, 0, -14, -15}, {239, 319, 639, 225, 943}}) {
        surface->setScroll(0, scroll);
        marks.Spawn(x, y);
        ASSERT_NE(marks.slots[marks.count - 1], nullptr);
        EXPECT_EQ(place(marks.slots[marks.count - 1]->sprite), ints(sceneX, sceneY, 244));
    }
    for (int i = 0; i < 27; ++i) marks.Spawn(10 + i, 100);
    EXPECT_EQ(marks.count, 29);
    EXPECT_EQ(marks.slots[29], nullptr);
    every(80, 20, [&] { animationStep(), marks.Update(); });
    EXPECT_EQ(ints(marks.count, list.count), ints(0, 0));
    marks.Clear();
}

TEST_F(HudTest, HitBurstsByDuckKindAndAtMostTwo) {
    HitEffects fx;
    fx.Init(surface.get());
    fx.Spawn(100, 200, 4);
    ASSERT_EQ(fx.count, 1);
    EXPECT_EQ(place(fx.slots[0]->sprite), ints(96, 188, 51));
    EXPECT_EQ(fx.slots[0]->tag, 2);
    fx.Spawn(50, 60, 1);
    EXPECT_EQ(place(fx.slots[1]->sprite), ints(50, 35, 131));
    fx.Spawn(10, 10, 2);
    EXPECT_EQ(fx.count, 2);
    EXPECT_EQ(fx.slots[2], nullptr);
    every(80, 20, [&] { animationStep(), fx.Update(); });
    EXPECT_EQ(fx.count, 0);
    fx.Clear();
}

// Frames loaded at a size other than their picture's come out sheared: every row starts
// a few pixels later than the one above. The stream decodes to exactly the bytes of the
// picture's own size.
TEST_F(HudTest, BurstsPuffsBadgesAndSceneryAreLoadedAtTheirPicturesOwnSizes) {
    if (platform::findResource("PCT", PIC_SMALL_BURST_FIRST).empty())
        GTEST_SKIP() << "the bursts are not in this build's pack";
    HitEffects fx;
    fx.Init(surface.get());
    ShotMarks marks;
    marks.Init(surface.get());
    PictureFont font;
    ScorePopups popups;
    popups.Init(surface.get(), &font);
    std::vector<uint8_t> out(1 << 20);
    for (auto [set, first, last] :
         {std::tuple{&fx.largeFrames, +PIC_LARGE_BURST_FIRST, +PIC_LARGE_BURST_LAST},
          {&fx.smallFrames, +PIC_SMALL_BURST_FIRST, +PIC_SMALL_BURST_LAST},
          {&marks.frames, +PIC_SHOT_PUFF_FIRST, +PIC_SHOT_PUFF_LAST},
          {&popups.largeBadge, +PIC_LARGE_BADGE, +PIC_LARGE_BADGE},
          {&popups.smallBadge, +PIC_SMALL_BADGE, +PIC_SMALL_BADGE}}) {
        ASSERT_EQ(set->count, last - first + 1);
        for (int k = 0; k < set->count; ++k) {
            const Image* image = set->frames[k];
            EXPECT_EQ(decodePictureStream(platform::findResource("PCT", first + k), out.data(),
                                          out.size()),
                      2u * image->width * image->height)
                << "picture " << first + k;
        }
    }
    for (const PropPlace& p : SceneProps::kPlaces) {
        EXPECT_EQ(
            decodePictureStream(platform::findResource("PCT", p.picture), out.data(), out.size()),
            2u * p.width * p.height)
            << "picture " << p.picture;
    }
    fx.Clear();
    marks.Clear();
    popups.Clear();
}

TEST_F(HudTest, PopupBadgeAndNumberDriftApartAndVanishTogether) {
    PictureFont font;
    font.loadFont(PIC_GAME_FONT, 22, 700, 48);
    ScorePopups popups;
    popups.Init(surface.get(), &font);
    popups.Spawn(120, 200, 3, 25);
    ASSERT_EQ(popups.count, 1);
    MovingPicture* badge = popups.badges[0];
    MovingNumber* number = popups.numbers[0];
    EXPECT_EQ(ints(badge->sprite->layer, number->text->sprite->layer), ints(50, 244));
    int moves = 0;
    for (; popups.count > 0 && moves < 20; ++moves) {
        advance(51);
        popups.Update();
        if (popups.count > 0) {
            EXPECT_GT(badge->sprite->x, 120);
            EXPECT_LT(number->text->sprite->x, 120);
        }
    }
    EXPECT_EQ(ints(moves, list.count), ints(8, 0));  // about 0.4 s
    // A gap of 50 ms or less is no move at all.
    popups.Spawn(120, 200, 1, 10);
    advance(50);
    popups.Update();
    EXPECT_EQ(popups.badges[0]->sprite->x, 120);
    for (int i = 0; i < 40; ++i) popups.Spawn(i, 100, i % 5, 10);
    EXPECT_EQ(popups.count, 35);
    popups.Clear();
    EXPECT_EQ(popups.count, 0);
}

TEST_F(HudTest, EffectPathKindsOtherThanLineAndZigzagLeaveNoPath) {
    MovingPicture pic;
    TestFrames small(8, 8);
    ASSERT_TRUE(pic.Start(0, 0, &small.set, 100));
    for (int kind : {2, 3, 5}) {
        pic.SetPath(kind, {0, 0, 10, 0, 1});
        EXPECT_EQ(pic.path, nullptr);
    }
    every(60, 10, [&] { pic.Update(); });
    EXPECT_EQ(pic.finished, 0);
}

}  // namespace
