// The duck flock: pixel hit tests, near misses, slot order, formations and spawning.
#include "game/duck_flock.h"

#include "audio/sound_ids.h"
#include "game/line_path.h"
#include "round_fixture.h"

namespace {

class DuckFlockTest : public RoundFixture {
  protected:
    void SetUp() override {
        RoundFixture::SetUp();
        flock.Init(surface.get());
        flock.rng = Random(1234);
    }
    void TearDown() override {
        flock.Clear();
        RoundFixture::TearDown();
    }
    Mover* put(uint8_t kind, int x, int y) {
        return flock.ducks[flock.duckCount++] = mover(kind, x, y, 130);
    }
    void removeAll() {
        while (flock.duckCount > 0) flock.RemoveDuck(0);
    }
    DuckFlock flock;
};

TEST_F(DuckFlockTest, OpaquePixelHitsOnlyInsideTheDuckWhenLoaded) {
    // The duck at scene (50, 400) is at screen (50, 100) under scroll 300; its inside is
    // 52..67 x 102..117, its box 50..69 x 100..119.
    surface->setScroll(0, 300);
    const std::tuple<int, int, int, int, bool> cases[] = {
        {60, 110, 1, EV_PEN_DOWN, true},  {52, 117, 1, EV_PEN_DOWN, true},
        {49, 105, 1, EV_PEN_DOWN, false}, {70, 105, 1, EV_PEN_DOWN, false},
        {55, 99, 1, EV_PEN_DOWN, false},  {55, 120, 1, EV_PEN_DOWN, false},
        {60, 110, 0, EV_PEN_DOWN, false}, {60, 110, 1, EV_PEN_UP, false}};
    for (auto [x, y, loaded, type, hit] : cases) {
        put(DUCK_BIG_DOWN, 50, 400);
        InputEvent e = penDown(x, y);
        e.type = type;
        const FlockResult r = flock.Update(e, loaded, 0);
        if (hit) {
            EXPECT_EQ(ints(r.code, r.x, r.y, r.kind, flock.duckCount, list.count),
                      ints(FLOCK_HIT, 50, 400, DUCK_BIG_DOWN, 0, 0));
        } else {
            EXPECT_NE(r.code, FLOCK_HIT) << x << "," << y;
            ASSERT_EQ(flock.duckCount, 1);
            EXPECT_EQ(flock.ducks[0]->kind, DUCK_BIG_DOWN) << x << "," << y;
        }
        removeAll();
    }
}

TEST_F(DuckFlockTest, KeyPixelInsideTheBoxMakesTheDuckFleeTheOtherWay) {
    const std::pair<uint8_t, uint8_t> cases[] = {{DUCK_BIG_DOWN, DUCK_BIG_UP},
                                                 {DUCK_BIG_UP, DUCK_BIG_DOWN},
                                                 {DUCK_SMALL_DOWN, DUCK_SMALL_UP},
                                                 {DUCK_SMALL_UP, DUCK_SMALL_DOWN}};
    for (auto [kind, fleeing] : cases) {
        put(kind, 100, 100);
        const FlockResult r = flock.Update(penDown(100, 100), 1, 0);  // the key-coloured corner
        ASSERT_EQ(flock.duckCount, 1);
        EXPECT_EQ(ints(r.code, r.kind, flock.ducks[0]->kind, flock.ducks[0]->stepPeriod),
                  ints(FLOCK_FLED, fleeing, fleeing, 95));
        removeAll();
    }
    EXPECT_EQ(startedCount(SOUND_QUACK) + startedCount(SOUND_QUACK_CALL), 4);
}

TEST_F(DuckFlockTest, OnlyTheFirstDuckInSlotOrderIsHitAndTheRestAreNotStepped) {
    put(DUCK_SMALL_DOWN, 100, 100);
    Mover* second = put(DUCK_BIG_UP, 105, 105);
    second->SetPath(PATH_LINE, {105, 105, 105, 900, 3});
    advance(1000);
    const FlockResult r = flock.Update(penDown(110, 110), 1, 0);
    EXPECT_EQ(ints(r.code, r.kind), ints(FLOCK_HIT, DUCK_SMALL_DOWN));
    ASSERT_EQ(flock.duckCount, 1);
    EXPECT_EQ(flock.ducks[0], second);
    EXPECT_EQ(second->sprite->y, 105);
}

TEST_F(DuckFlockTest, ModeTenAddsAVFormationOnlyBelowTwentyNineObjects) {
    for (auto [before, code, after] :
         {std::tuple{0, FLOCK_FORMATION, 5}, {28, FLOCK_FORMATION, 33}, {29, FLOCK_NO_ROOM, 29}}) {
        while (flock.duckCount < before) put(DUCK_BIG_DOWN, 0, 0);
        const int32_t got = flock.Update(InputEvent{}, 1, 10).code;
        EXPECT_EQ(ints(got, flock.duckCount), ints(code, after)) << before;
        if (before == 0) {
            const uint8_t kind = flock.ducks[0]->kind;
            EXPECT_TRUE(kind == DUCK_SMALL_UP || kind == DUCK_SMALL_DOWN);
            const int sign = kind == DUCK_SMALL_UP ? 1 : -1;
            const int offsets[5][2] = {{0, 0}, {40, 60}, {-40, 60}, {80, 120}, {-80, 120}};
            for (int i = 0; i < 5; ++i) {
                const Sprite* s = flock.ducks[i]->sprite;
                EXPECT_EQ(ints(flock.ducks[i]->kind, s->x - flock.ducks[0]->sprite->x,
                               s->y - flock.ducks[0]->sprite->y),
                          ints(kind, offsets[i][0], sign * offsets[i][1]));
            }
        }
        removeAll();
    }
    // Both ways: small ducks flying up, or small ducks flying down.
    for (bool up : {true, false}) {
        int32_t st = 1;
        while (st % 7 == 0 || (Random(st).Next(30) % 2 == 1) != up) ++st;
        flock.rng = Random(st);
        ASSERT_EQ(flock.Update(InputEvent{}, 1, 10).code, FLOCK_FORMATION);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(flock.ducks[i]->kind, up ? DUCK_SMALL_UP : DUCK_SMALL_DOWN) << up;
        removeAll();
    }
    put(DUCK_BIG_DOWN, 10, 10);
    for (int mode : {1, 9, 11, -1})
        EXPECT_EQ(flock.Update(penDown(15, 15), 1, mode).code, FLOCK_UNKNOWN_MODE);
    EXPECT_EQ(flock.duckCount, 1);
}

TEST_F(DuckFlockTest, FillsUpToSevenDucksAndOneSwimmer) {
    int spawned = 0;
    every(10, 5000, [&] {
        spawned += flock.Update(InputEvent{}, 1, 0).code == FLOCK_NEW_DUCK;
        ASSERT_LE(flock.duckCount, 8);
    });
    EXPECT_GT(spawned, 7);
    int swimmers = 0;
    for (int i = 0; i < flock.duckCount; ++i) swimmers += flock.ducks[i]->kind == DUCK_SWIMMER;
    EXPECT_LE(swimmers, 1);
}

TEST_F(DuckFlockTest, SpawnedDucksFollowTheirKindsRules) {
    for (int i = 0; i < 200; ++i) {
        Mover* m = flock.SpawnDuck();
        ASSERT_NE(m, nullptr);
        // The duck is the one before the swimmer when the swimmer came with it.
        Mover* d = m->kind == DUCK_SWIMMER ? flock.ducks[flock.duckCount - 2] : m;
        const int y = d->sprite->y;
        const bool up = d->kind == DUCK_BIG_UP || d->kind == DUCK_SMALL_UP;
        ASSERT_TRUE(up || d->kind == DUCK_BIG_DOWN || d->kind == DUCK_SMALL_DOWN) << int(d->kind);
        EXPECT_TRUE(up ? y >= 960 && y < 1060 : y <= -100 && y > -200) << y;
        EXPECT_EQ(d->sprite->layer, d->kind <= DUCK_BIG_UP ? 130 : 50);
        EXPECT_TRUE(within(d->stepPeriod, 84, 102));
        removeAll();
    }
    EXPECT_EQ(flock.swimmerSpawned, 1);
}

TEST_F(DuckFlockTest, TheSwimmerTurnsWhenShotAndIsNeverRemoved) {
    flock.swimmerSpawned = 0;
    auto* swimmer = new Mover();
    // Half-way along its outbound line, so that the way back is not done at once.
    ASSERT_TRUE(swimmer->Init(190, 400, &flock.swimOut, 1, DUCK_SWIMMER, 200));
    swimmer->SetPath(PATH_LINE, {190, 400, 214, 80, 1});
    addAnimated(surface.get(), swimmer->sprite, 50);
    flock.ducks[flock.duckCount++] = swimmer;
    surface->setScroll(0, 320);
    flock.Update(penDown(195, 400 - 320 + 5), 1, 0);
    ASSERT_EQ(flock.duckCount, 1);
    EXPECT_EQ(swimmer->sprite->image, flock.swimBack.frames[0]);
    EXPECT_EQ(startedCount(SOUND_QUACK), 1);
    auto* line = dynamic_cast<LinePath*>(swimmer->path);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(ints(line->targetX, line->targetY), ints(168, 669));
}

TEST_F(DuckFlockTest, ADuckThatLeftTheSceneIsRemoved) {
    Mover* d = put(DUCK_BIG_DOWN, 100, 1110);
    d->SetPath(PATH_LINE, {100, 1110, 100, 1120, 10});
    flock.rng = Random(1);  // keeps new ducks away for these two frames
    every(500, 2, [&] { flock.Update(InputEvent{}, 1, 0); });
    for (int i = 0; i < flock.duckCount; ++i) EXPECT_NE(flock.ducks[i], d);
}

TEST_F(DuckFlockTest, ASecondInitTakesTheOldDucksOffTheScreen) {
    const Sprite* shown[] = {put(DUCK_BIG_DOWN, 50, 400)->sprite,
                             put(DUCK_SMALL_UP, 120, 500)->sprite};
    flock.Init(surface.get());
    EXPECT_EQ(flock.duckCount, 0);
    EXPECT_EQ(ints(flock.ducks[0] == nullptr, flock.ducks[1] == nullptr), ints(1, 1));
    for (const Sprite* s : shown) EXPECT_FALSE(surface->list.contains(s));
}

}  // namespace
