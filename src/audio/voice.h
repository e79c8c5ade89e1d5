// What every voice of the mixer shares, sample voices and module players alike: a
// volume scaled by the engine's master volume, and the play / pause / stop flags.
#pragma once

#include <cstdint>

class Voice {
  public:
    virtual ~Voice() = default;

    // volume = min(v, 64); effective volume = master x volume >> 6.
    virtual void SetVolume(uint32_t v);

    void Start() {
        paused = 0;
        stopped = 0;
    }
    void Stop() { stopped = 1; }
    void Pause() {
        if (!stopped) paused = 1;
    }
    void Resume() {
        if (!stopped) paused = 0;
    }
    bool Plays() const { return !paused && !stopped; }
    // Free for a new sound: stopped and not paused.
    bool Free() const { return stopped && !paused; }

    uint32_t volume = 0;
    uint32_t masterVolume = 64;
    uint32_t effectiveVolume = 0;
    uint8_t loop = 0;
    uint8_t paused = 0;
    uint8_t stopped = 1;
};
