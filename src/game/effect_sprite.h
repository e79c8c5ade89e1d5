// A short-lived decoration that plays its frames once, or follows a path, and says
// when it is finished.
#pragma once

#include <cstdint>

#include "game/path.h"

class AnimatedSprite;
class FrameSet;

class EffectSprite {
  public:
    EffectSprite() = default;
    virtual ~EffectSprite();
    EffectSprite(const EffectSprite&) = delete;
    EffectSprite& operator=(const EffectSprite&) = delete;

    bool Start(int32_t x, int32_t y, const FrameSet* frames, uint32_t period, bool blend,
               uint8_t tag);
    // Line (1) or zig-zag (4); any other kind leaves no path.
    void SetPath(int32_t kind, const PathParams& params);
    void Update();

    AnimatedSprite* sprite = nullptr;
    Path* path = nullptr;
    int32_t height = 0, width = 0;
    uint8_t finished = 0;
    uint8_t tag = 0;
};

// The path kinds the effect sprites accept: a line or a zig-zag, nothing else.
Path* makeEffectPath(int32_t kind, const PathParams& params);
