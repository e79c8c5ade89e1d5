// A straight Bresenham walk from one point towards another, `speed` pixel steps along
// the major axis per Next().
#pragma once

#include "game/path.h"

class LinePath : public Path {
  public:
    LinePath(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t speed);
    PathPoint Next() override;
    bool IsDone() override;

    uint8_t done = 0;
    int32_t dx = 0, dy = 0;
    int32_t x = 0, y = 0;
    int32_t targetX = 0, targetY = 0;
    int32_t overflowStepX = 0, overflowStepY = 0;
    int32_t alwaysStepX = 0, alwaysStepY = 0;
    int32_t startX = 0, startY = 0;
    int32_t error = 0;
    int32_t minor = 0, major = 0;
    int8_t speed = 0;
    int32_t stepCount = 0;
};
