#include "game/zigzag_path.h"

ZigzagPath::ZigzagPath(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t speed_)
    : originX(x0), originY(y0), targetY(y1), speed(speed_), x(x0), y(y0) {
    (void)x1;  // only the target row matters
    begin();
}

ZigzagPath::ZigzagPath(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t speed_,
                       const Random& seeded)
    : originX(x0), originY(y0), targetY(y1), speed(speed_), x(x0), y(y0), rng(seeded) {
    (void)x1;
    begin();
}

void ZigzagPath::begin() {
    direction = targetY >= originY ? 1 : -1;
    advance = direction * (rng.Next(1000) % 70 + 30);
    swing = -(rng.Next(1000) % 45 + 5);
    segStartX = originX;
    segStartY = originY;
    segEndX = originX + swing;
    segEndY = originY + advance;
    segment = new LinePath(segStartX, segStartY, segEndX, segEndY, speed);
}

ZigzagPath::~ZigzagPath() {
    delete segment;
}

PathPoint ZigzagPath::Next() {
    if (segment->IsDone()) {
        // The next segment starts at the end of the old one, not where its walk stopped.
        delete segment;
        segment = nullptr;
        advance = direction * (rng.Next(1000) % 140 + 60);
        const int32_t size = rng.Next(1000) % 45 + 5;
        swing = swing < 0 ? size : -size;
        segStartX = segEndX;
        segStartY = segEndY;
        segEndX = originX + swing;
        segEndY = segStartY + advance;
        segment = new LinePath(segStartX, segStartY, segEndX, segEndY, speed);
    }
    const PathPoint p = segment->Next();
    x = p.x;
    y = p.y;
    return p;
}

bool ZigzagPath::IsDone() {
    if (done) return true;
    if (y < targetY - 10 || y > targetY + 10) return false;
    if (x <= 0 || x >= 240 || y <= 0 || y >= 960) {
        done = 1;
        return true;
    }
    return false;
}
