// The back buffer, its presentation to the window, and the canvas that paints and
// erases single sprites and keeps the dirty rectangles.
#pragma once

#include <cstdint>

#include "graphics/bitmap.h"

class Sprite;
class Image;

constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;

using DirtyRect = Rect;

// The 240 x 320 back buffer (stride rounded to 4 bytes) presented through the platform.
class DibBitmap : public Bitmap {
  public:
    DibBitmap(int w, int h);
    ~DibBitmap() override;
};

class WindowBuffer {
  public:
    WindowBuffer();  // makes the back buffer and points currentTarget at it
    ~WindowBuffer();
    void presentAll();
    void presentRects(const DirtyRect* rects, uint16_t count);
    DibBitmap* backBuffer = nullptr;
};

class Canvas {
  public:
    static constexpr int kMaxDirty = 20;

    Canvas();
    virtual ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Merges into the first listed rectangle that the area rule allows, else appends;
    // with all 20 slots taken the rectangle joins the slot whose union grows least.
    void addDirtyRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void flushRects();
    void presentAll();
    void paintSprite(Sprite& s);
    void paintSpriteAbsolute(Sprite& s);
    void eraseSprite(Sprite& s);
    void eraseSpriteAt(Sprite& s, int32_t x, int32_t y);
    void greyBackBuffer();
    Bitmap* backBuffer() const { return window->backBuffer; }

    WindowBuffer* window = nullptr;
    DirtyRect dirty[kMaxDirty] = {};
    int32_t dirtyCount = 0;
    int32_t originX = 0;
    int32_t originY = 0;
};
