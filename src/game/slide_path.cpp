#include "game/slide_path.h"

SlidePath::SlidePath(int32_t sx, int32_t sy, int32_t ex, int32_t ey, int32_t stx, int32_t sty,
                     int32_t pauseLength)
    : pause(static_cast<int16_t>(pauseLength)),
      startX(sx),
      startY(sy),
      endX(ex),
      endY(ey),
      x(sx),
      y(sy),
      stepX(static_cast<int16_t>(stx)),
      stepY(static_cast<int16_t>(sty)) {}

PathPoint SlidePath::Next() {
    if (phase == 1) {
        x += stepX;
        y += stepY;
    } else if (phase == -1) {
        x -= stepX;
        y -= stepY;
    }
    return {x, y};
}

static bool near(int32_t v, int32_t target) {
    return v >= target - 5 && v <= target + 5;
}

bool SlidePath::IsDone() {
    if (done) return true;
    if (phase == 0) {
        if (pause == 0) phase = -1;
        --pause;
        return false;
    }
    if (phase == 1) {
        if (near(x, endX) && near(y, endY)) phase = 0;
        return false;
    }
    if (near(x, startX) && near(y, startY)) {
        done = 1;
        return true;
    }
    return false;
}
