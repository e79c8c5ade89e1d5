// A number drawn in a picture font that glides along a path, one step at most every
// 50 ms.
#pragma once

#include <cstdint>

#include "game/path.h"

class PictureFont;
class TextSprite;
class Surface;

class MovingNumber {
  public:
    MovingNumber() = default;
    virtual ~MovingNumber();
    MovingNumber(const MovingNumber&) = delete;
    MovingNumber& operator=(const MovingNumber&) = delete;

    void Start(int32_t x, int32_t y, int32_t value, PictureFont* font, Surface* surface,
               uint8_t layer);
    void SetPath(int32_t kind, const PathParams& params);
    void Update();
    void Hide();
    void Show(uint8_t layer);

    PictureFont* font = nullptr;
    TextSprite* text = nullptr;
    Path* path = nullptr;
    int16_t height = 0, width = 0;
    uint8_t finished = 0;
    Surface* surface = nullptr;
    uint32_t lastMoveTick = 0;
};
