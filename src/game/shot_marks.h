// The puffs left where a shot hit nothing: at most 29 at a time.
#pragma once

#include <cstdint>

#include "graphics/sprite.h"
#include "shell/input_event.h"

class EffectSprite;
class Surface;

class ShotMarks {
  public:
    static constexpr int kSlots = 30;
    static constexpr int kMaxLive = 29;

    ShotMarks() = default;
    virtual ~ShotMarks();
    ShotMarks(const ShotMarks&) = delete;
    ShotMarks& operator=(const ShotMarks&) = delete;

    void Init(Surface* surface);
    // Pen position in view coordinates.
    void Spawn(int32_t x, int32_t y);
    void Update();
    void Clear();
    // The round is suspended / resumed: the sprites leave the surface and come back.
    void Hide();
    void Show();

    EffectSprite* slots[kSlots] = {};
    uint8_t count = 0;
    FrameSet frames;
    Surface* surface = nullptr;
};

extern ShotMarks shotMarks;
