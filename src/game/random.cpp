#include "game/random.h"

#include "platform/platform.h"

Random::Random() {
    platform::seedRandom((platform::tickCount() * 16807u) >> 1);
    state = platform::nextRandom();
}

Random::Random(int32_t seedState) : state(seedState) {}

// The modulus is 7^5, so a state that is a multiple of 7 never leaves the multiples of
// 7: it runs round a short cycle of 6, 42 or 294 values (or stays at 0), and for some
// seeds that cycle never holds the draw that spawns a duck, so a whole session would
// show an empty lake. Such a generator takes fresh values from the runtime instead,
// until it has a usable state. Any other state never reaches a multiple of 7, so its
// sequence is the plain one.
bool Random::usable(int32_t s) {
    return s % 7 != 0;
}

void Random::reseed() {
    do {
        state = platform::nextRandom() % modulus;
    } while (!usable(state));
}

int32_t Random::NextRaw() {
    state = (state * multiplier + increment) % modulus;
    if (!usable(state)) reseed();
    return state;
}

int32_t Random::Next(int32_t n) {
    NextRaw();
    return static_cast<int32_t>((static_cast<int64_t>(n) * state) / modulus);
}
