// The part of every control that is the same for all kinds.
#include "shell/control.h"

#include "graphics/sprite.h"

void Control::ReleasePictures() {
    if (frames == nullptr) return;
    // A borrowed set keeps the pictures of the set it borrowed from.
    frames->free();
    delete frames;
    frames = nullptr;
}

Control::~Control() {
    Control::ReleasePictures();
}
