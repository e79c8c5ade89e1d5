#include "game/moving_number.h"

#include <string>

#include "game/effect_sprite.h"
#include "graphics/picture_font.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "platform/platform.h"

namespace {
std::u16string decimal(int32_t v) {
    const std::string s = std::to_string(v);
    return std::u16string(s.begin(), s.end());
}
}  // namespace

MovingNumber::~MovingNumber() {
    delete path;
    if (text == nullptr) {
        platform::messageBox("m_editField = NULL", "");
        return;
    }
    text->releaseText();
    delete text;
}

void MovingNumber::Start(int32_t x, int32_t y, int32_t value, PictureFont* font_, Surface* surface_,
                         uint8_t layer) {
    font = font_;
    surface = surface_;
    delete text;
    text = new TextSprite();
    text->initText(x, y, font, 10, true, false);
    if (text->sprite != nullptr) {
        height = static_cast<int16_t>(text->sprite->height);
        width = static_cast<int16_t>(text->sprite->width);
    }
    finished = 0;
    if (surface != nullptr && text->sprite != nullptr) surface->addSprite(text->sprite, layer);
    text->setTextAndMark(decimal(value), surface);
    lastMoveTick = platform::tickCount();
}

void MovingNumber::SetPath(int32_t kind, const PathParams& params) {
    delete path;
    path = makeEffectPath(kind, params);
}

void MovingNumber::Update() {
    const uint32_t now = platform::tickCount();
    if (now - lastMoveTick <= 50 || path == nullptr || text == nullptr || text->sprite == nullptr) {
        return;
    }
    lastMoveTick = now;
    if (path->IsDone()) {
        finished = 1;
        return;
    }
    const PathPoint p = path->Next();
    text->sprite->x = p.x;
    text->sprite->y = p.y;
    if (surface != nullptr) surface->markDirty(text->sprite);
}

void MovingNumber::Hide() {
    if (surface != nullptr && text != nullptr && text->sprite != nullptr) {
        surface->removeSprite(text->sprite);
    }
}

void MovingNumber::Show(uint8_t layer) {
    if (surface != nullptr && text != nullptr && text->sprite != nullptr &&
        !surface->list.contains(text->sprite)) {
        surface->addSprite(text->sprite, layer);
        surface->markDirty(text->sprite);
    }
}
