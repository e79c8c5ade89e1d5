// Leaves, clocks, the bonus item and the penalty targets.
#include "game/leaf_field.h"

#include "game/mover.h"
#include "round_fixture.h"

namespace {

class LeafFieldTest : public RoundFixture {
  protected:
    void SetUp() override {
        RoundFixture::SetUp();
        field.Init(surface.get());
    }
    void TearDown() override {
        field.Clear();
        RoundFixture::TearDown();
    }

    Mover* place(uint8_t kind, int x, int y) {
        auto* m = new Mover();
        EXPECT_TRUE(m->Init(x, y, &frames.set, 50, kind, 100));
        addAnimated(surface.get(), m->sprite, 231);
        field.items[field.itemCount++] = m;
        return m;
    }

    // A generator state whose next leaf draw gives the wanted share s (0..12).
    static int32_t stateGiving(int s, int skip = 0) {
        for (int32_t st = 1; st < 16807; ++st) {
            Random r(st);
            if (r.Next(100) % 13 == s && skip-- == 0) return st;
        }
        return -1;
    }

    LeafField field;
    TestFrames frames{20, 20};
};

TEST_F(LeafFieldTest, TheFishermanStartsInSlotZero) {
    ASSERT_EQ(field.itemCount, 1);
    EXPECT_EQ(field.items[0]->kind, ITEM_FISHERMAN);
    EXPECT_EQ(field.items[0]->sprite->x, 165);
    EXPECT_EQ(field.items[0]->sprite->y, 620);
    EXPECT_EQ(field.items[0]->sprite->layer, 10);
}

TEST_F(LeafFieldTest, LeafOutcomeSharesFollowTheDraw) {
    struct Case {
        int s;
        int32_t code;
        int16_t value;
        int sound;
    };
    for (Case c : {Case{0, LEAF_TIME, 30, 555}, Case{1, LEAF_TIME, -30, 556},
                   Case{3, LEAF_POINTS, 1, 0}, Case{12, LEAF_POINTS, 1, 0}}) {
        for (int variant = 0; variant < 3; ++variant) {
            const int32_t st = stateGiving(c.s, variant);
            ASSERT_GT(st, 0);
            field.rng = Random(st);
            const int before = c.sound ? startedCount(c.sound) : 0;
            const LeafResult r = field.Outcome(40, 300, ITEM_LEAF);
            EXPECT_EQ(r.code, c.code) << "s=" << c.s;
            EXPECT_EQ(r.value, c.value) << "s=" << c.s;
            if (c.sound) {
                EXPECT_EQ(startedCount(c.sound), before + 1);
            }
            ASSERT_NE(field.popup, nullptr);
            EXPECT_EQ(field.popup->x, 60);
            EXPECT_EQ(field.popup->y, 290);
            EXPECT_EQ(field.popupFrames, 20);
        }
    }
    // Over the whole generator cycle about 2 in 13 leaves are clocks.
    int clocks = 0, total = 0;
    for (int32_t st = 1; st < 16807; st += 7) {
        Random r(st);
        const int s = r.Next(100) % 13;
        clocks += s <= 1;
        ++total;
    }
    EXPECT_NEAR(static_cast<double>(clocks) / total, 2.0 / 13, 0.02);
}

TEST_F(LeafFieldTest, BonusItemNeedsTheCooldownToRunDown) {
    const int32_t st = stateGiving(2);
    ASSERT_GT(st, 0);
    std::vector<int32_t> codes;
    for (int i = 0; i < 8; ++i) {
        field.rng = Random(st);
        codes.push_back(field.Outcome(0, 0, ITEM_LEAF).code);
    }
    // The first gives the bonus; five more give a point; the seventh a bonus again.
    const std::vector<int32_t> expected = {LEAF_BONUS,  LEAF_POINTS, LEAF_POINTS, LEAF_POINTS,
                                           LEAF_POINTS, LEAF_POINTS, LEAF_BONUS,  LEAF_POINTS};
    EXPECT_EQ(codes, expected);
    EXPECT_EQ(startedCount(557), 2);
}

TEST_F(LeafFieldTest, PenaltyAndSignTargets) {
    struct Case {
        uint8_t kind;
        int16_t value;
        int popupDy;
        uint16_t frames;
    };
    for (Case c : {Case{ITEM_SIGN_DUCK, 50, -10, 20}, Case{ITEM_RED_BIRD, -50, -10, 20},
                   Case{ITEM_FISHERMAN, -50, 20, 10}}) {
        const LeafResult r = field.Outcome(100, 500, c.kind);
        EXPECT_EQ(r.code, LEAF_POINTS);
        EXPECT_EQ(r.value, c.value);
        ASSERT_NE(field.popup, nullptr);
        EXPECT_EQ(field.popup->y, 500 + c.popupDy);
        EXPECT_EQ(field.popupFrames, c.frames);
    }
    EXPECT_EQ(startedCount(562), 1);
}

TEST_F(LeafFieldTest, TheFishermanCostsFiftyEveryTimeAndStays) {
    surface->setScroll(0, 600);
    Mover* fisherman = field.items[0];
    for (int shot = 0; shot < 3; ++shot) {
        const int sx = fisherman->sprite->x + 5;
        const int sy = fisherman->sprite->y - 600 + 5;
        const LeafResult r = field.Update(penDown(sx, sy), 1, 0);
        EXPECT_EQ(r.code, LEAF_POINTS);
        EXPECT_EQ(r.value, -50);
        ASSERT_GE(field.itemCount, 1);
        EXPECT_EQ(field.items[0], fisherman);
    }
    // Unloaded, the same tap is no shot.
    EXPECT_EQ(
        field.Update(penDown(fisherman->sprite->x + 5, fisherman->sprite->y - 595), 0, 0).code,
        LEAF_NOTHING);
}

TEST_F(LeafFieldTest, OnlyTheFirstHitInSlotOrderCounts) {
    surface->setScroll(0, 0);
    place(ITEM_RED_BIRD, 50, 50);
    place(ITEM_SIGN_DUCK, 55, 55);
    const uint8_t before = field.itemCount;
    const LeafResult r = field.Update(penDown(60, 60), 1, 0);
    EXPECT_EQ(r.value, -50);  // the red bird in slot 1
    EXPECT_EQ(field.itemCount, before - 1);
    EXPECT_EQ(field.items[1]->kind, ITEM_SIGN_DUCK);
    EXPECT_EQ(field.effectCount, 1);  // the falling bird
    EXPECT_EQ(startedCount(558), 1);
}

TEST_F(LeafFieldTest, NoNewItemWithNinePresent) {
    while (field.itemCount < 9) place(ITEM_LEAF, 0, 0);  // no path: they stay
    for (int i = 0; i < 2000; ++i) {
        advance(10);
        field.Update(InputEvent{}, 1, 0);
        ASSERT_EQ(field.itemCount, 9);
    }
}

TEST_F(LeafFieldTest, NoLeavesWhileSpecialEffectsAreOff) {
    ASSERT_EQ(appContext().settings, nullptr);  // no settings: effects count as off
    for (int i = 0; i < 3000 && field.itemCount < 9; ++i) {
        field.ChooseNewItem();
        for (int k = 1; k < field.itemCount; ++k) ASSERT_NE(field.items[k]->kind, ITEM_LEAF);
    }
}

TEST_F(LeafFieldTest, OneSignDuckAtATime) {
    Mover* sign = field.AddSignDuck();
    ASSERT_NE(sign, nullptr);
    EXPECT_EQ(field.signDuckPresent, 1);
    const uint8_t count = field.itemCount;
    for (int i = 0; i < 500; ++i) {
        field.rng = Random(1 + i * 31);
        if (field.rng.Next(197) % 17 != 7) continue;
        field.rng = Random(1 + i * 31);
        field.ChooseNewItem();
        EXPECT_EQ(field.itemCount, count);
    }
    // Shooting it frees the way for the next one.
    field.StartHitEffect(sign->sprite->x, sign->sprite->y, ITEM_SIGN_DUCK);
    EXPECT_EQ(field.signDuckPresent, 0);
    EXPECT_EQ(startedCount(544), 1);
}

TEST_F(LeafFieldTest, ThePopupGoesAfterItsFrames) {
    field.Outcome(10, 10, ITEM_SIGN_DUCK);
    ASSERT_NE(field.popup, nullptr);
    field.rng = Random(1);
    for (int i = 0; i < 19; ++i) field.Update(InputEvent{}, 1, 0);
    EXPECT_NE(field.popup, nullptr);
    field.Update(InputEvent{}, 1, 0);
    EXPECT_EQ(field.popup, nullptr);
    EXPECT_EQ(field.popupFrames, 0);
}

}  // namespace
