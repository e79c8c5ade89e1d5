// Out from a start point to an end point by a fixed step, a pause, and back again:
// the sign duck that peeks in from the edge of the view.
#pragma once

#include "game/path.h"

class SlidePath : public Path {
  public:
    SlidePath(int32_t startX, int32_t startY, int32_t endX, int32_t endY, int32_t stepX,
              int32_t stepY, int32_t pause);
    PathPoint Next() override;
    bool IsDone() override;

    int16_t pause = 0;
    int32_t startX = 0, startY = 0, endX = 0, endY = 0;
    int32_t x = 0, y = 0;
    int16_t stepX = 0, stepY = 0;
    int8_t phase = 1;
    uint8_t done = 0;
};
