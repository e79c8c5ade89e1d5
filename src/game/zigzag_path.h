// A flight in straight segments that swing alternately left and right of the starting
// column while heading for a target row.
#pragma once

#include "game/line_path.h"
#include "game/random.h"

class ZigzagPath : public Path {
  public:
    ZigzagPath(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t speed);
    // The same with a generator of a known state (tests).
    ZigzagPath(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t speed, const Random& rng);
    ~ZigzagPath() override;
    ZigzagPath(const ZigzagPath&) = delete;
    ZigzagPath& operator=(const ZigzagPath&) = delete;

    PathPoint Next() override;
    bool IsDone() override;

    uint8_t done = 0;
    LinePath* segment = nullptr;
    int32_t originX = 0, originY = 0;
    int32_t targetY = 0;
    int32_t swing = 0;
    int32_t advance = 0;
    int32_t speed = 0;
    int32_t segStartX = 0, segStartY = 0, segEndX = 0, segEndY = 0;
    int32_t x = 0, y = 0;
    int32_t direction = 1;
    Random rng;

  private:
    void begin();
};
