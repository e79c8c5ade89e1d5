#include "graphics/image.h"

#include "graphics/picture_decoder.h"

Image::~Image() {
    releaseBitmap();
}

void Image::loadPicture(int id, int w, int h) {
    ::loadPicture(*this, id, w, h);
}

void Image::createBlank(int w, int h) {
    releaseBitmap();
    if (w < 0) w = 0;
    if (h < 0) h = 0;
    width = static_cast<uint16_t>(w);
    height = static_cast<uint16_t>(h);
    bitmap = new Bitmap(width, height);
}

void Image::releaseBitmap() {
    delete bitmap;
    bitmap = nullptr;
}

Picture::Picture(int id, int w, int h) {
    image = new Image;
    image->loadPicture(id, w, h);
}

Picture::~Picture() {
    release();
}

void Picture::reload(int id, int w, int h) {
    release();
    image = new Image;
    image->loadPicture(id, w, h);
}

void Picture::release() {
    if (image == nullptr) return;
    image->releaseBitmap();
    delete image;
    image = nullptr;
}
