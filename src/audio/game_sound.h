// The sound facade the game plays through: a sound by resource id, as an effect or as
// music, once or looped; stop everything; the effect and music volumes (0..64).
#pragma once

#include <cstdint>
#include <vector>

class SoundEngine;

class GameSound {
  public:
    // Creates the engine and opens it at 22050 Hz stereo; a failed open leaves it closed
    // and every call silently does nothing.
    GameSound();
    ~GameSound();
    GameSound(const GameSound&) = delete;
    GameSound& operator=(const GameSound&) = delete;

    void PlaySound(int id, bool isMusic, bool loop);
    void StopAllSounds();
    void SetMusicVolume(int v);
    void SetSoundVolume(int v);

    SoundEngine* engine = nullptr;
    uint32_t musicVolume = 64;
    uint32_t effectVolume = 64;

    // Every PlaySound call with its tick count, for the simulator's dump and the tests.
    // Recorded only when switched on, so that a long session of the game does not grow.
    struct Started {
        uint32_t tick;
        int id;
    };
    std::vector<Started> started;
    static inline bool recordStarts = false;
};
