#include "game/effect_sprite.h"

#include "game/slots.h"
#include "graphics/sprite.h"

Path* makeEffectPath(int32_t kind, const PathParams& params) {
    if (kind != PATH_LINE && kind != PATH_ZIGZAG) return nullptr;
    return makePath(kind, params);
}

EffectSprite::~EffectSprite() {
    delete path;
    if (sprite != nullptr) {
        sprite->releaseResources();
        delete sprite;
    }
}

bool EffectSprite::Start(int32_t x, int32_t y, const FrameSet* frames, uint32_t period, bool blend,
                         uint8_t tag_) {
    AnimatedSprite* s = newRoundAnimation(frames, x, y, blend, period, PLAY_ONCE);
    if (s == nullptr) return false;
    sprite = s;
    height = s->height;
    width = s->width;
    finished = 0;
    tag = tag_;
    return true;
}

void EffectSprite::SetPath(int32_t kind, const PathParams& params) {
    delete path;
    path = makeEffectPath(kind, params);
}

void EffectSprite::Update() {
    if (sprite == nullptr) return;
    if (path == nullptr) {
        if (sprite->current + 1 == sprite->count) finished = 1;
        return;
    }
    if (path->IsDone()) {
        finished = 1;
        return;
    }
    const PathPoint p = path->Next();
    sprite->x = p.x;
    sprite->y = p.y;
}
