// The ducks of a round: up to 35 flying objects that spawn at random, fly straight or
// zig-zag through the scene, are hit on their own pixels and flee after a near miss.
#pragma once

#include <cstdint>

#include "game/random.h"
#include "graphics/sprite.h"
#include "shell/input_event.h"

class Mover;
class SceneSurface;

enum DuckKind : uint8_t {
    DUCK_BIG_DOWN = 1,
    DUCK_BIG_UP = 2,
    DUCK_SMALL_DOWN = 3,
    DUCK_SMALL_UP = 4,
    DUCK_SWIMMER = 5,
};

enum FlockCode : int32_t {
    FLOCK_NOTHING = 1,
    FLOCK_HIT = 2,
    FLOCK_NEW_DUCK = 3,
    FLOCK_FLED = 4,
    FLOCK_FORMATION = 5,
    FLOCK_NO_ROOM = 6,
    FLOCK_UNKNOWN_MODE = 10,
};

struct FlockResult {
    int32_t code = FLOCK_NOTHING;
    int32_t x = 0;
    int32_t y = 0;
    uint8_t kind = 0;
};

class DuckFlock {
  public:
    static constexpr int kMaxDucks = 35;

    DuckFlock() : rng(1) {}
    virtual ~DuckFlock();
    DuckFlock(const DuckFlock&) = delete;
    DuckFlock& operator=(const DuckFlock&) = delete;

    void Init(SceneSurface* surface);
    void Clear();
    void Hide();
    void Show();
    FlockResult Update(const InputEvent& event, uint8_t loaded, int mode);

    Mover* ducks[kMaxDucks] = {};
    uint8_t duckCount = 0;
    uint8_t swimmerSpawned = 0;
    FrameSet bigDown, bigUp, smallDown, smallUp, swimOut, swimBack;
    SceneSurface* surface = nullptr;
    // The flock's generator. Seeded from the clock at the first round rather than when
    // the program's globals are built, before the platform's clock is up.
    Random rng;
    bool rngSeeded = false;

    // Public for the tests: the building blocks of Update.
    Mover* SpawnDuck();  // the object added last, or null
    void RemoveDuck(int i);
    Mover* SpawnFleeing(int32_t x, int32_t y, uint8_t oldKind);
    void ReleaseFormation();
    void TurnSwimmer(Mover* swimmer);

  private:
    bool addMover(Mover* m, uint8_t layer);
    void freeFrames();
};

extern DuckFlock duckFlock;
