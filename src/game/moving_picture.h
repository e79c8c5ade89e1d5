// A picture that glides along a path, one step at most every 50 ms.
#pragma once

#include <cstdint>

#include "game/path.h"

class AnimatedSprite;
class FrameSet;

class MovingPicture {
  public:
    MovingPicture() = default;
    virtual ~MovingPicture();
    MovingPicture(const MovingPicture&) = delete;
    MovingPicture& operator=(const MovingPicture&) = delete;

    bool Start(int32_t x, int32_t y, const FrameSet* frames, uint32_t period);
    void SetPath(int32_t kind, const PathParams& params);
    void Update();

    AnimatedSprite* sprite = nullptr;
    Path* path = nullptr;
    int16_t height = 0, width = 0;
    uint8_t finished = 0;
    uint32_t lastMoveTick = 0;
};
