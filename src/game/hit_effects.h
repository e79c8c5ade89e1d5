// The bursts shown where a duck was hit: at most two at a time.
#pragma once

#include <cstdint>

#include "graphics/sprite.h"

class EffectSprite;
class Surface;

class HitEffects {
  public:
    static constexpr int kSlots = 3;
    static constexpr int kMaxLive = 2;

    HitEffects() = default;
    virtual ~HitEffects();
    HitEffects(const HitEffects&) = delete;
    HitEffects& operator=(const HitEffects&) = delete;

    void Init(Surface* surface);
    void Spawn(int32_t x, int32_t y, uint8_t duckKind);
    void Update();
    void Clear();
    // The round is suspended / resumed: the sprites leave the surface and come back.
    void Hide();
    void Show();

    EffectSprite* slots[kSlots] = {};
    uint8_t count = 0;
    FrameSet largeFrames;
    FrameSet smallFrames;
    Surface* surface = nullptr;
};

extern HitEffects hitEffects;
