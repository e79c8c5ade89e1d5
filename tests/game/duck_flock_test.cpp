// The duck flock: pixel hit tests, near misses, slot order, formations and spawning.
#include "game/duck_flock.h"

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
    Mover* place(uint8_t kind, int x, int y) {
        return flock.ducks[flock.duckCount++] = mover(kind, x, y, 130);
    }
    void removeAll() {
        while (flock.duckCount > 0) flock.RemoveDuck(0);
    }
    DuckFlock flock;
};

TEST_F(DuckFlockTest, OpaquePixelHitsOnlyInsideTheDuckWhenLoaded) {
    struct Case {
        int x, y, loaded, type;
        bool hit;
    };
    // The duck is at scene (50, 400), screen (50, 100) under scroll 300; its inside is
    // 52..67 x 102..117, its box 50..69 x 100..119.
    for (Case c : {Case{60, 110, 1, EV_PEN_DOWN, true}, Case{52, 117, 1, EV_PEN_DOWN, true},
                   Case{49, 105, 1, EV_PEN_DOWN, false}, Case{70, 105, 1, EV_PEN_DOWN, false},
                   Case{55, 99, 1, EV_PEN_DOWN, false}, Case{55, 120, 1, EV_PEN_DOWN, false},
                   Case{60, 110, 0, EV_PEN_DOWN, false}, Case{60, 110, 1, EV_PEN_UP, false}}) {
        surface->setScroll(0, 300);
        place(DUCK_BIG_DOWN, 50, 400);
        InputEvent e = penDown(c.x, c.y);
        e.type = c.type;
        const FlockResult r = flock.Update(e, c.loaded, 0);
        if (c.hit) {
            EXPECT_EQ(r.code, FLOCK_HIT);
            EXPECT_EQ(r.x, 50);
            EXPECT_EQ(r.y, 400);
            EXPECT_EQ(r.kind, DUCK_BIG_DOWN);
            EXPECT_EQ(flock.duckCount, 0);
            EXPECT_EQ(list.count, 0);
        } else {
            EXPECT_NE(r.code, FLOCK_HIT) << c.x << "," << c.y;
            ASSERT_EQ(flock.duckCount, 1);
            EXPECT_EQ(flock.ducks[0]->kind, DUCK_BIG_DOWN) << c.x << "," << c.y;
        }
        removeAll();
    }
}

TEST_F(DuckFlockTest, KeyPixelInsideTheBoxMakesTheDuckFleeTheOtherWay) {
    struct Case {
        uint8_t kind, fleeing;
    };
    for (Case c : {Case{DUCK_BIG_DOWN, DUCK_BIG_UP}, Case{DUCK_BIG_UP, DUCK_BIG_DOWN},
                   Case{DUCK_SMALL_DOWN, DUCK_SMALL_UP}, Case{DUCK_SMALL_UP, DUCK_SMALL_DOWN}}) {
        place(c.kind, 100, 100);
        const FlockResult r = flock.Update(penDown(100, 100), 1, 0);  // the key-coloured corner
        EXPECT_EQ(r.code, FLOCK_FLED);
        EXPECT_EQ(r.kind, c.fleeing);
        ASSERT_EQ(flock.duckCount, 1);
        EXPECT_EQ(flock.ducks[0]->kind, c.fleeing);
        EXPECT_EQ(flock.ducks[0]->stepPeriod, 95);
        removeAll();
    }
    EXPECT_EQ(startedCount(563) + startedCount(564), 4);
}

TEST_F(DuckFlockTest, OnlyTheFirstDuckInSlotOrderIsHitAndTheRestAreNotStepped) {
    place(DUCK_SMALL_DOWN, 100, 100);
    Mover* second = place(DUCK_BIG_UP, 105, 105);
    PathParams p;
    p.x0 = 105, p.y0 = 105, p.x1 = 105, p.y1 = 900, p.speed = 3;
    second->SetPath(PATH_LINE, p);
    advance(1000);
    const FlockResult r = flock.Update(penDown(110, 110), 1, 0);
    EXPECT_EQ(r.code, FLOCK_HIT);
    EXPECT_EQ(r.kind, DUCK_SMALL_DOWN);
    ASSERT_EQ(flock.duckCount, 1);
    EXPECT_EQ(flock.ducks[0], second);
    EXPECT_EQ(second->sprite->y, 105);
}

TEST_F(DuckFlockTest, ModeTenAddsAVFormationOnlyBelowTwentyNineObjects) {
    struct Case {
        int before;
        int32_t code;
        int after;
    };
    for (Case c : {Case{0, FLOCK_FORMATION, 5}, Case{28, FLOCK_FORMATION, 33},
                   Case{29, FLOCK_NO_ROOM, 29}}) {
        while (flock.duckCount < c.before) place(DUCK_BIG_DOWN, 0, 0);
        EXPECT_EQ(flock.Update(InputEvent{}, 1, 10).code, c.code) << c.before;
        EXPECT_EQ(flock.duckCount, c.after) << c.before;
        if (c.before == 0) {
            const uint8_t kind = flock.ducks[0]->kind;
            EXPECT_TRUE(kind == DUCK_SMALL_UP || kind == DUCK_SMALL_DOWN);
            const int sign = kind == DUCK_SMALL_UP ? 1 : -1;
            const int offsets[5][2] = {{0, 0}, {40, 60}, {-40, 60}, {80, 120}, {-80, 120}};
            for (int i = 0; i < 5; ++i) {
                EXPECT_EQ(flock.ducks[i]->kind, kind);
                EXPECT_EQ(flock.ducks[i]->sprite->x - flock.ducks[0]->sprite->x, offsets[i][0]);
                EXPECT_EQ(flock.ducks[i]->sprite->y - flock.ducks[0]->sprite->y,
                          sign * offsets[i][1]);
            }
        }
        removeAll();
    }
    place(DUCK_BIG_DOWN, 10, 10);
    for (int mode : {1, 9, 11, -1}) {
        EXPECT_EQ(flock.Update(penDown(15, 15), 1, mode).code, FLOCK_UNKNOWN_MODE);
    }
    EXPECT_EQ(flock.duckCount, 1);
}

TEST_F(DuckFlockTest, FillsUpToSevenDucksAndOneSwimmer) {
    int spawned = 0;
    for (int i = 0; i < 5000; ++i) {
        advance(10);
        if (flock.Update(InputEvent{}, 1, 0).code == FLOCK_NEW_DUCK) ++spawned;
        ASSERT_LE(flock.duckCount, 8);
    }
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
        EXPECT_GE(d->stepPeriod, 84);
        EXPECT_LE(d->stepPeriod, 102);
        removeAll();
    }
    EXPECT_EQ(flock.swimmerSpawned, 1);
}

TEST_F(DuckFlockTest, TheSwimmerTurnsWhenShotAndIsNeverRemoved) {
    flock.swimmerSpawned = 0;
    auto* swimmer = new Mover();
    // Half-way along its outbound line, so that the way back is not done at once.
    ASSERT_TRUE(swimmer->Init(190, 400, &flock.swimOut, 1, DUCK_SWIMMER, 200));
    PathParams p;
    p.x0 = 190, p.y0 = 400, p.x1 = 214, p.y1 = 80, p.speed = 1;
    swimmer->SetPath(PATH_LINE, p);
    addAnimated(surface.get(), swimmer->sprite, 50);
    flock.ducks[flock.duckCount++] = swimmer;
    surface->setScroll(0, 320);
    flock.Update(penDown(195, 400 - 320 + 5), 1, 0);
    ASSERT_EQ(flock.duckCount, 1);
    EXPECT_EQ(swimmer->sprite->image, flock.swimBack.frames[0]);
    EXPECT_EQ(startedCount(563), 1);
    auto* line = dynamic_cast<LinePath*>(swimmer->path);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->targetX, 168);
    EXPECT_EQ(line->targetY, 669);
}

TEST_F(DuckFlockTest, ADuckThatLeftTheSceneIsRemoved) {
    Mover* d = place(DUCK_BIG_DOWN, 100, 1110);
    PathParams p;
    p.x0 = 100, p.y0 = 1110, p.x1 = 100, p.y1 = 1120, p.speed = 10;
    d->SetPath(PATH_LINE, p);
    flock.rng = Random(1);  // keeps new ducks away for these two frames
    for (int i = 0; i < 2; ++i) {
        advance(500);
        flock.Update(InputEvent{}, 1, 0);
    }
    for (int i = 0; i < flock.duckCount; ++i) EXPECT_NE(flock.ducks[i], d);
}

}  // namespace
