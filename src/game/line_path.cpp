#include "game/line_path.h"

#include <cstdlib>

#include "game/slide_path.h"
#include "game/zigzag_path.h"

LinePath::LinePath(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t speed_)
    : x(x0),
      y(y0),
      targetX(x1),
      targetY(y1),
      startX(x0),
      startY(y0),
      speed(static_cast<int8_t>(speed_)) {
    dx = std::abs(x1 - x0);
    dy = std::abs(y1 - y0);
    const int32_t sx = x1 >= x0 ? 1 : -1;
    const int32_t sy = y1 < y0 ? -1 : 1;
    if (dx >= dy) {
        alwaysStepX = sx;
        overflowStepY = sy;
    } else {
        alwaysStepY = sy;
        overflowStepX = sx;
    }
    major = dx >= dy ? dx : dy;
    minor = dx >= dy ? dy : dx;
    error = major / 2;
}

PathPoint LinePath::Next() {
    for (int i = 0; i < speed; ++i) {
        error += minor;
        if (error >= major) {
            error -= major;
            x += overflowStepX;
            y += overflowStepY;
        }
        x += alwaysStepX;
        y += alwaysStepY;
    }
    ++stepCount;
    return {x, y};
}

bool LinePath::IsDone() {
    if (done) return true;
    if (x >= targetX - 5 && x <= targetX + 5 && y >= targetY - 5 && y <= targetY + 5) {
        done = 1;
        return true;
    }
    return false;
}

Path* makePath(int32_t kind, const PathParams& p) {
    switch (kind) {
        case PATH_LINE:
            return new LinePath(p.x0, p.y0, p.x1, p.y1, p.speed);
        case PATH_ZIGZAG:
            return new ZigzagPath(p.x0, p.y0, p.x1, p.y1, p.speed);
        case PATH_SLIDE:
            return new SlidePath(p.x0, p.y0, p.x1, p.y1, p.extra[0], p.extra[1], p.extra[2]);
        default:
            return nullptr;
    }
}
