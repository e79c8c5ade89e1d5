// Where a moving object goes: a point per step and a "done" answer.
#pragma once

#include <cstdint>

struct PathPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// The record every path is made from; the sliding path of the sign duck reads its
// step and pause from the extra words.
struct PathParams {
    int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0, speed = 0;
    int32_t extra[3] = {};
};

enum PathKind : int32_t {
    PATH_LINE = 1,
    PATH_RANDOM = 3,  // accepted, but makes no path: nothing in the game asks for it
    PATH_ZIGZAG = 4,
    PATH_SLIDE = 5,
};

class Path {
  public:
    virtual ~Path() = default;
    virtual PathPoint Next() = 0;
    virtual bool IsDone() = 0;
};

// A new path of the given kind (line, zig-zag, slide), or null for any other kind.
Path* makePath(int32_t kind, const PathParams& params);
