// A decoded picture or a blank pixel area.
#pragma once

#include <cstdint>

#include "graphics/bitmap.h"

class Image {
  public:
    Image() = default;
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Decodes picture resource `id` at width x height into a fresh bitmap.
    void loadPicture(int id, int w, int h);
    void createBlank(int w, int h);
    void releaseBitmap();
    uint16_t pixel(int x, int y) const { return bitmap->at(x, y); }

    Bitmap* bitmap = nullptr;
    uint16_t width = 0;
    uint16_t height = 0;
};

// An image loaded from a picture resource and owned by the code that loaded it.
class Picture {
  public:
    Picture(int id, int w, int h);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    void reload(int id, int w, int h);
    void release();

    Image* image = nullptr;
};
