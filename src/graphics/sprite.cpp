#include "graphics/sprite.h"

Sprite::Sprite(Picture* pic, int px, int py, bool withSaveUnder, bool isKeyed, bool isBlend,
               uint16_t keyColour) {
    setFromPicture(pic, px, py, withSaveUnder, isKeyed, isBlend, keyColour);
}

Sprite::~Sprite() {
    if (hasSaveUnder) releaseResources();
}

void Sprite::setFromPicture(Picture* pic, int px, int py, bool withSaveUnder, bool isKeyed,
                            bool isBlend, uint16_t keyColour) {
    setFromImage(pic != nullptr ? pic->image : nullptr, px, py, withSaveUnder, isKeyed, isBlend,
                 keyColour);
    picture = pic;
}

void Sprite::setFromImage(Image* img, int px, int py, bool withSaveUnder, bool isKeyed,
                          bool isBlend, uint16_t keyColour) {
    x = px;
    y = py;
    image = img;
    picture = nullptr;
    width = img != nullptr ? img->width : 0;
    height = img != nullptr ? img->height : 0;
    keyed = isKeyed ? 1 : 0;
    blend = isBlend ? 1 : 0;
    // The old save-under image is dropped either way, so re-initialising a sprite
    // never leaks it.
    if (saveUnder != nullptr) {
        saveUnder->releaseBitmap();
        delete saveUnder;
        saveUnder = nullptr;
    }
    if (withSaveUnder) {
        saveUnder = new Image;
        saveUnder->createBlank(width, height);
        hasSaveUnder = 1;
    } else {
        hasSaveUnder = 0;
    }
    // Key -1 means "whatever colour the top-left pixel has"; an image without pixels
    // has no such pixel, so the key then stays as given.
    if (keyColour == kKeyFromImage && img != nullptr && img->bitmap != nullptr && img->width > 0 &&
        img->height > 0)
        key = img->pixel(0, 0);
    else
        key = keyColour;
}

void Sprite::releaseResources() {
    if (hasSaveUnder && saveUnder != nullptr) {
        saveUnder->releaseBitmap();
        delete saveUnder;
    }
    hasSaveUnder = 0;
    saveUnder = nullptr;
    image = nullptr;
}
