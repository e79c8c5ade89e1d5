// The score counter, the shell magazine, shot marks, hit bursts and score pop-ups.
#include <cstdlib>

#include "game/effect_sprite.h"
#include "game/hit_effects.h"
#include "game/moving_number.h"
#include "game/moving_picture.h"
#include "game/score_counter.h"
#include "game/score_popups.h"
#include "game/shell_magazine.h"
#include "game/shot_marks.h"
#include "graphics/picture_font.h"
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
    struct Case {
        int32_t start, add, total;
    };
    for (Case c : {Case{30, 25, 55}, Case{10, -25, 0}, Case{0, -5, 0}}) {
        ScoreCounter sc;
        sc.total = sc.shown = c.start;
        sc.AddPoints(c.add);
        EXPECT_EQ(sc.total, c.total);
        const auto shown = roll(sc);
        ASSERT_EQ(shown.size(), static_cast<size_t>(std::abs(c.total - c.start)));
        for (size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(std::abs(shown[i] - c.start), static_cast<int>(i) + 1) << c.start;
        }
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

TEST_F(HudTest, MagazineStepsThroughItsFramesAndReloads) {
    ShellMagazine mag;
    surface->setScroll(0, 639);
    mag.Init(212, 5, surface.get(), 7);
    ASSERT_NE(mag.strip, nullptr);
    EXPECT_EQ(mag.strip->y, 644);
    // Shots in the same millisecond or not take one picture each, none below empty.
    for (int k = 1; k <= 8; ++k) {
        if (k > 4) advance(10);
        mag.Shoot();
        EXPECT_EQ(mag.shells, std::max(0, 7 - k));
        EXPECT_EQ(mag.strip->current, std::min(k, 7));
    }
    mag.Reload();
    EXPECT_EQ(mag.shells, 7);
    EXPECT_EQ(mag.strip->current, 0);
    mag.Clear();
}

TEST_F(HudTest, ShotMarksSitUnderThePenWhateverTheScrollAtMostTwentyNine) {
    ShotMarks marks;
    marks.Init(surface.get());
    struct Case {
        int x, y, scroll, sceneX, sceneY;
    };
    for (Case c :
         {Case{100, 150, 320, 86, 455}, Case{0, 0, 0, -14, -15}, Case{239, 319, 639, 225, 943}}) {
        surface->setScroll(0, c.scroll);
        marks.Spawn(c.x, c.y);
        EffectSprite* e = marks.slots[marks.count - 1];
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->sprite->x, c.sceneX);
        EXPECT_EQ(e->sprite->y, c.sceneY);
        EXPECT_EQ(e->sprite->layer, 244);
    }
    for (int i = 0; i < 27; ++i) marks.Spawn(10 + i, 100);
    EXPECT_EQ(marks.count, 29);
    EXPECT_EQ(marks.slots[29], nullptr);
    for (int i = 0; i < 20; ++i) {
        advance(80);
        animationStep();
        marks.Update();
    }
    EXPECT_EQ(marks.count, 0);
    EXPECT_EQ(list.count, 0);
    marks.Clear();
}

TEST_F(HudTest, HitBurstsByDuckKindAndAtMostTwo) {
    HitEffects fx;
    fx.Init(surface.get());
    fx.Spawn(100, 200, 4);
    ASSERT_EQ(fx.count, 1);
    EXPECT_EQ(fx.slots[0]->sprite->x, 96);
    EXPECT_EQ(fx.slots[0]->sprite->y, 188);
    EXPECT_EQ(fx.slots[0]->sprite->layer, 51);
    EXPECT_EQ(fx.slots[0]->tag, 2);
    fx.Spawn(50, 60, 1);
    EXPECT_EQ(fx.slots[1]->sprite->x, 50);
    EXPECT_EQ(fx.slots[1]->sprite->y, 35);
    EXPECT_EQ(fx.slots[1]->sprite->layer, 131);
    fx.Spawn(10, 10, 2);
    EXPECT_EQ(fx.count, 2);
    EXPECT_EQ(fx.slots[2], nullptr);
    for (int i = 0; i < 20; ++i) {
        advance(80);
        animationStep();
        fx.Update();
    }
    EXPECT_EQ(fx.count, 0);
    fx.Clear();
}

TEST_F(HudTest, PopupBadgeAndNumberDriftApartAndVanishTogether) {
    PictureFont font;
    font.loadFont(255, 22, 700, 48);
    ScorePopups popups;
    popups.Init(surface.get(), &font);
    popups.Spawn(120, 200, 3, 25);
    ASSERT_EQ(popups.count, 1);
    MovingPicture* badge = popups.badges[0];
    MovingNumber* number = popups.numbers[0];
    EXPECT_EQ(badge->sprite->layer, 50);
    EXPECT_EQ(number->text->sprite->layer, 244);
    int moves = 0;
    while (popups.count > 0 && moves < 20) {
        advance(51);
        ++moves;
        popups.Update();
        if (popups.count > 0) {
            EXPECT_GT(badge->sprite->x, 120);
            EXPECT_LT(number->text->sprite->x, 120);
        }
    }
    EXPECT_EQ(moves, 8);  // about 0.4 s
    EXPECT_EQ(list.count, 0);
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
    TestFrames frames(8, 8);
    ASSERT_TRUE(pic.Start(0, 0, &frames.set, 100));
    PathParams p;
    p.x1 = 10;
    p.speed = 1;
    for (int kind : {2, 3, 5}) {
        pic.SetPath(kind, p);
        EXPECT_EQ(pic.path, nullptr);
    }
    for (int i = 0; i < 10; ++i) {
        advance(60);
        pic.Update();
    }
    EXPECT_EQ(pic.finished, 0);
}

}  // namespace
