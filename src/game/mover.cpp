#include "game/mover.h"

#include "game/slots.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "platform/platform.h"

Mover::~Mover() {
    delete path;
    if (sprite != nullptr) {
        sprite->releaseResources();
        delete sprite;
    }
}

bool Mover::Init(int32_t x, int32_t y, const FrameSet* frames, uint32_t framePeriod, uint8_t kind_,
                 uint16_t stepPeriod_) {
    AnimatedSprite* s = newRoundAnimation(frames, x, y, false, framePeriod, PLAY_BACK_AND_FORTH);
    if (s == nullptr) return false;
    if (sprite != nullptr) {
        sprite->releaseResources();
        delete sprite;
    }
    sprite = s;
    hitColour = s->key;
    height = s->height;
    width = s->width;
    finished = 0;
    kind = kind_;
    stepPeriod = stepPeriod_;
    return true;
}

void Mover::SetPath(int32_t type, const PathParams& params) {
    delete path;
    path = makePath(type, params);
}

void Mover::Step(Surface* surface) {
    const uint32_t now = platform::tickCount();
    if (path == nullptr) return;
    if (path->IsDone()) {
        finished = 1;
        return;
    }
    if (now - lastStepTick <= stepPeriod) return;
    lastStepTick = now;
    const PathPoint p = path->Next();
    sprite->x = p.x;
    sprite->y = p.y;
    if (surface != nullptr) surface->markDirty(sprite);
}

int Mover::HitTest(int32_t penX, int32_t penY, int32_t scrollX, int32_t scrollY) const {
    if (sprite == nullptr) return HIT_NONE;
    const int32_t sx = sprite->x - scrollX;
    const int32_t sy = sprite->y - scrollY;
    if (penX < sx || penX >= sx + width || penY < sy || penY >= sy + height) return HIT_NONE;
    const int32_t px = penX - sx;
    const int32_t py = penY - sy;
    const Image* img = sprite->image;
    // A frame smaller than the box (or missing) has nothing to hit at that point.
    if (img == nullptr || img->bitmap == nullptr || px >= img->width || py >= img->height) {
        return HIT_NEAR;
    }
    return img->pixel(px, py) == hitColour ? HIT_NEAR : HIT_PIXEL;
}
