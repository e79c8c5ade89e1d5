// A 16-bit RGB565 pixel buffer: red bits 15-11, green 10-5, blue 4-0; rows from the top.
#pragma once

#include <cstdint>
#include <memory>

class KeyRuns;

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
};

class Bitmap {
  public:
    // An owning bitmap of w x h pixels, all 0, stride 2 * w.
    Bitmap(int w, int h);
    // A bitmap over pixels that belong to somebody else.
    Bitmap(uint16_t* pixels, int w, int h, int strideBytes);
    virtual ~Bitmap();
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    uint16_t* row(int y) {
        unchangedSinceKeyedDraw = false;
        return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(pixels) + y * stride);
    }
    const uint16_t* row(int y) const {
        return reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                 y * stride);
    }
    uint16_t at(int x, int y) const { return row(y)[x]; }
    void set(int x, int y, uint16_t p) { row(y)[x] = p; }
    // For code that writes through `pixels` rather than row() or set().
    void changed() { unchangedSinceKeyedDraw = false; }

    uint16_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;  // bytes per row
    bool owns = false;

    // What the keyed blits keep about these pixels: their run table (key_runs.h), and
    // whether the pixels stayed as they were since the last keyed draw from them.
    mutable std::unique_ptr<KeyRuns> keyRuns;
    mutable bool unchangedSinceKeyedDraw = false;
};
