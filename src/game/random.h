// The round's small Lehmer generator (multiplier 2187, modulus 16807), seeded from the
// runtime's own pseudo-random function.
#pragma once

#include <cstdint>

class Random {
  public:
    // Seeds the runtime generator from the clock and takes its next value as state.
    Random();
    // A generator with a known state (tests, replays).
    explicit Random(int32_t seedState);
    virtual ~Random() = default;

    int32_t NextRaw();
    // A value in 0..n-1 (for n > 0).
    int32_t Next(int32_t n);

    int32_t multiplier = 2187;
    int32_t increment = 0;
    int32_t modulus = 16807;
    int32_t state = 1;

  private:
    static bool usable(int32_t s);
    void reseed();
};
