// One flying object of a round: an animated sprite that follows a path, steps at its
// own pace and can be hit on its own pixels.
#pragma once

#include <cstdint>

#include "game/path.h"

class AnimatedSprite;
class FrameSet;
class Surface;

enum HitResult : int { HIT_NONE = 0, HIT_PIXEL = 1, HIT_NEAR = 2 };

class Mover {
  public:
    Mover() = default;
    virtual ~Mover();
    Mover(const Mover&) = delete;
    Mover& operator=(const Mover&) = delete;

    bool Init(int32_t x, int32_t y, const FrameSet* frames, uint32_t framePeriod, uint8_t kind,
              uint16_t stepPeriod);
    // Replaces the path (line, zig-zag or slide; any other kind leaves none).
    void SetPath(int32_t type, const PathParams& params);
    // One movement step when the path is not done and the step period has passed; the
    // moved sprite is marked for repainting on `surface` (may be null).
    void Step(Surface* surface);
    // Pen in screen coordinates: 0 miss, 1 on an opaque pixel, 2 inside the box on a
    // transparent pixel.
    int HitTest(int32_t penX, int32_t penY, int32_t scrollX, int32_t scrollY) const;

    uint32_t lastStepTick = 0;
    AnimatedSprite* sprite = nullptr;
    Path* path = nullptr;
    uint16_t hitColour = 0;
    int32_t height = 0, width = 0;
    uint8_t finished = 0;
    uint8_t kind = 0;
    uint16_t stepPeriod = 0;
};
