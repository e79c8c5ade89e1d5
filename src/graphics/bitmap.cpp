#include "graphics/bitmap.h"

#include <cstddef>

#include "graphics/key_runs.h"

Bitmap::Bitmap(int w, int h) {
    width = w > 0 ? w : 0;
    height = h > 0 ? h : 0;
    stride = 2 * width;
    pixels = new uint16_t[static_cast<size_t>(width) * static_cast<size_t>(height) + 1]();
    owns = true;
}

Bitmap::Bitmap(uint16_t* px, int w, int h, int strideBytes)
    : pixels(px), width(w), height(h), stride(strideBytes), owns(false) {}

Bitmap::~Bitmap() {
    if (owns) delete[] pixels;
}
