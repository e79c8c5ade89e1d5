#include "game/moving_picture.h"

#include "game/effect_sprite.h"
#include "game/slots.h"
#include "graphics/sprite.h"
#include "platform/platform.h"

MovingPicture::~MovingPicture() {
    delete path;
    if (sprite != nullptr) {
        sprite->releaseResources();
        delete sprite;
    }
}

bool MovingPicture::Start(int32_t x, int32_t y, const FrameSet* frames, uint32_t period) {
    AnimatedSprite* s = newRoundAnimation(frames, x, y, false, period, PLAY_ONCE);
    if (s == nullptr) return false;
    sprite = s;
    height = static_cast<int16_t>(s->height);
    width = static_cast<int16_t>(s->width);
    finished = 0;
    lastMoveTick = platform::tickCount();
    return true;
}

void MovingPicture::SetPath(int32_t kind, const PathParams& params) {
    delete path;
    path = makeEffectPath(kind, params);
}

void MovingPicture::Update() {
    const uint32_t now = platform::tickCount();
    if (now - lastMoveTick <= 50 || path == nullptr || sprite == nullptr) return;
    lastMoveTick = now;
    if (path->IsDone()) {
        finished = 1;
        return;
    }
    // The animation step repaints it: the sprite is in the animation list.
    const PathPoint p = path->Next();
    sprite->x = p.x;
    sprite->y = p.y;
}
