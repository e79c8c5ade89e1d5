// Leaves, clocks, the bonus item and the penalty targets.
#include "game/leaf_field.h"

#include "audio/sound_ids.h"
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
    Mover* put(uint8_t kind, int x, int y) {
        return field.items[field.itemCount++] = mover(kind, x, y, 231);
    }
    LeafField field;
};

TEST_F(LeafFieldTest, LeafOutcomeSharesFollowTheDraw) {
    const std::tuple<int, int, int, int> cases[] = {{0, LEAF_TIME, 30, SOUND_TIME_GAINED},
                                                    {1, LEAF_TIME, -30, SOUND_TIME_LOST},
                                                    {3, LEAF_POINTS, 1, 0},
                                                    {12, LEAF_POINTS, 1, 0}};
    for (auto [s, code, value, soundId] : cases) {
        field.rng = Random(leafState(s));
        const int before = startedCount(soundId);
        const LeafResult r = field.Outcome(40, 300, ITEM_LEAF);
        EXPECT_EQ(ints(r.code, r.value), ints(code, value)) << "s=" << s;
        EXPECT_TRUE(!soundId || startedCount(soundId) == before + 1) << "s=" << s;
        ASSERT_NE(field.popup, nullptr);
        EXPECT_EQ(ints(field.popup->x, field.popup->y, field.popupFrames), ints(60, 290, 20));
    }
}

TEST_F(LeafFieldTest, BonusItemNeedsTheCooldownToRunDown) {
    const int32_t st = leafState(2);
    std::vector<int32_t> codes;
    for (int i = 0; i < 8; ++i) {
        field.rng = Random(st);
        codes.push_back(field.Outcome(0, 0, ITEM_LEAF).code);
    }
    const std::vector<int32_t> expected = {LEAF_BONUS,  LEAF_POINTS, LEAF_POINTS, LEAF_POINTS,
                                           LEAF_POINTS, LEAF_POINTS, LEAF_BONUS,  LEAF_POINTS};
    EXPECT_EQ(codes, expected);
    EXPECT_EQ(startedCount(SOUND_BONUS), 2);
}

TEST_F(LeafFieldTest, PenaltyAndSignTargets) {
    const std::tuple<uint8_t, int, int, int> cases[] = {{ITEM_SIGN_DUCK, 50, -10, 20},
                                                        {ITEM_RED_BIRD, -50, -10, 20},
                                                        {ITEM_FISHERMAN, -50, 20, 10}};
    for (auto [kind, value, popupDy, frames] : cases) {
        const LeafResult r = field.Outcome(100, 500, kind);
        EXPECT_EQ(ints(r.code, r.value), ints(LEAF_POINTS, value));
        ASSERT_NE(field.popup, nullptr);
        EXPECT_EQ(ints(field.popup->y, field.popupFrames), ints(500 + popupDy, frames));
    }
    EXPECT_EQ(startedCount(SOUND_FISHERMAN_HIT), 1);
}

TEST_F(LeafFieldTest, TheFishermanCostsFiftyEveryTimeAndStaysInSlotZero) {
    ASSERT_EQ(field.itemCount, 1);
    Mover* fisherman = field.items[0];
    EXPECT_EQ(ints(fisherman->kind, fisherman->sprite->x, fisherman->sprite->y),
              ints(ITEM_FISHERMAN, 165, 620));
    surface->setScroll(0, 600);
    const InputEvent onHim = penDown(165 + 5, 620 - 600 + 5);
    for (int shot = 0; shot < 3; ++shot) {
        const LeafResult r = field.Update(onHim, 1, 0);
        EXPECT_EQ(ints(r.code, r.value), ints(LEAF_POINTS, -50));
        ASSERT_GE(field.itemCount, 1);
        EXPECT_EQ(field.items[0], fisherman);
    }
    EXPECT_EQ(field.Update(onHim, 0, 0).code, LEAF_NOTHING);  // unloaded
}

TEST_F(LeafFieldTest, OnlyTheFirstHitInSlotOrderCounts) {
    put(ITEM_RED_BIRD, 50, 50);
    put(ITEM_SIGN_DUCK, 55, 55);
    const uint8_t before = field.itemCount;
    const LeafResult r = field.Update(penDown(60, 60), 1, 0);
    // The red bird in slot 1 falls as an effect.
    EXPECT_EQ(ints(r.value, field.itemCount, field.items[1]->kind, field.effectCount),
              ints(-50, before - 1, ITEM_SIGN_DUCK, 1));
    EXPECT_EQ(startedCount(SOUND_RED_BIRD_HIT), 1);
}

TEST_F(LeafFieldTest, NoNewItemWithNinePresent) {
    while (field.itemCount < 9) put(ITEM_LEAF, 0, 0);
    every(10, 2000, [&] {
        field.Update(InputEvent{}, 1, 0);
        ASSERT_EQ(field.itemCount, 9);
    });
}

TEST_F(LeafFieldTest, NoLeavesWhileSpecialEffectsAreOff) {
    ASSERT_EQ(appContext().settings, nullptr);  // no settings: effects count as off
    for (int i = 0; i < 3000 && field.itemCount < 9; ++i) {
        field.ChooseNewItem();
        for (int k = 1; k < field.itemCount; ++k) ASSERT_NE(field.items[k]->kind, ITEM_LEAF);
    }
}

TEST_F(LeafFieldTest, OneSignDuckAtATimeUntilItIsShotOrHasSlidAway) {
    int32_t signState = 1;  // a state whose next draw, Next(197) % 17, chooses a sign duck
    while (signState % 7 == 0 || Random(signState).Next(197) % 17 != 7) ++signState;
    auto chooseSign = [&] {
        field.rng = Random(signState);
        field.ChooseNewItem();
    };
    auto signDucks = [&] {
        int n = 0;
        for (int k = 0; k < field.itemCount; ++k) n += field.items[k]->kind == ITEM_SIGN_DUCK;
        return n;
    };
    // Eight pathless leaves keep new items away (nothing is chosen with nine present).
    while (field.itemCount < 8) put(ITEM_LEAF, 0, 0);
    ASSERT_NE(field.AddSignDuck(), nullptr);
    chooseSign();
    EXPECT_EQ(ints(signDucks(), field.itemCount), ints(1, 9));

    // Unshot, it slides in, waits and slides out again in under five seconds...
    int frames = 0;
    for (; signDucks() > 0 && frames < 1000; ++frames)
        advance(10), field.Update(InputEvent{}, 1, 0);
    EXPECT_TRUE(within(frames, 400, 500));
    // ...and then the next one may come.
    EXPECT_EQ(field.signDuckPresent, 0);
    chooseSign();
    EXPECT_EQ(ints(signDucks(), field.signDuckPresent), ints(1, 1));

    // Shot, it frees the way as well.
    Mover* sign = field.items[field.itemCount - 1];
    sign->sprite->x = 100;
    const int py = sign->height / 2;
    int px = 0;
    while (px < sign->width && sign->sprite->image->pixel(px, py) == sign->hitColour) ++px;
    ASSERT_LT(px, sign->width);
    const InputEvent shot = penDown(100 + px, sign->sprite->y - surface->scrollY() + py);
    EXPECT_EQ(field.Update(shot, 1, 0).value, 50);
    EXPECT_EQ(ints(signDucks(), field.signDuckPresent, startedCount(SOUND_DUCK_HIT)),
              ints(0, 0, 1));
    chooseSign();
    EXPECT_EQ(signDucks(), 1);
}

// The sounds of a hit come with the hit, also when its picture finds no free slot.
TEST_F(LeafFieldTest, HitSoundsPlayAlsoWhenEveryEffectSlotIsTaken) {
    for (int i = 0; i < LeafField::kMaxEffects; ++i) field.StartHitEffect(0, 0, ITEM_LEAF);
    field.StartHitEffect(0, 0, ITEM_SIGN_DUCK);
    field.StartHitEffect(0, 0, ITEM_RED_BIRD);
    EXPECT_EQ(
        ints(field.effectCount, startedCount(SOUND_DUCK_HIT), startedCount(SOUND_RED_BIRD_HIT)),
        ints(LeafField::kMaxEffects, 1, 1));
}

TEST_F(LeafFieldTest, ThePopupGoesAfterItsFrames) {
    field.Outcome(10, 10, ITEM_SIGN_DUCK);
    field.rng = Random(1);
    for (int i = 0; i < 19; ++i) field.Update(InputEvent{}, 1, 0);
    EXPECT_NE(field.popup, nullptr);
    field.Update(InputEvent{}, 1, 0);
    EXPECT_EQ(field.popup, nullptr);
}

}  // namespace
