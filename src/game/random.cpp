#include "game/random.h"

#include "platform/platform.h"

Random::Random() {
    platform::seedRandom((platform::tickCount() * 16807u) >> 1);
    state = platform::nextRandom();
}

Random::Random(int32_t seedState) : state(seedState) {}

// A state that is a multiple of the modulus would make every later value 0 (the ducks
// would all start in the same corner and never turn); such a generator takes fresh
// values from the runtime instead, until it has a usable state.
void Random::reseed() {
    do {
        state = platform::nextRandom() % modulus;
    } while (state == 0);
}

int32_t Random::NextRaw() {
    state = (state * multiplier + increment) % modulus;
    if (state == 0) {
        reseed();
    }
    return state;
}

int32_t Random::Next(int32_t n) {
    NextRaw();
    return static_cast<int32_t>((static_cast<int64_t>(n) * state) / modulus);
}
