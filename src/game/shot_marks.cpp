#include "game/shot_marks.h"

#include "game/effect_sprite.h"
#include "game/slots.h"
#include "graphics/animation_list.h"
#include "graphics/picture_ids.h"
#include "graphics/surface.h"

ShotMarks shotMarks;

ShotMarks::~ShotMarks() {
    for (EffectSprite*& e : slots) {
        delete e;
        e = nullptr;
    }
}

void ShotMarks::Init(Surface* surface_) {
    for (EffectSprite*& e : slots) {
        delete e;
        e = nullptr;
    }
    count = 0;
    frames.free();
    frames.loadRange(PIC_SHOT_PUFF_FIRST, PIC_SHOT_PUFF_LAST, 34, 40);
    surface = surface_;
}

void ShotMarks::Spawn(int32_t x, int32_t y) {
    if (count >= kMaxLive) return;
    const int32_t sx = surface != nullptr ? surface->scrollX() : 0;
    const int32_t sy = surface != nullptr ? surface->scrollY() : 0;
    auto* e = new EffectSprite();
    if (!e->Start(x + sx - 14, y + sy - 15, &frames, 75, true, 0)) {
        delete e;
        return;
    }
    slots[count++] = e;
    if (surface != nullptr) addAnimated(surface, e->sprite, 244);
}

void ShotMarks::Update() {
    for (int j = 0; j < count; ++j) {
        EffectSprite* e = slots[j];
        if (e == nullptr) continue;
        e->Update();
        if (e->finished) dropSlot(slots, j, count, surface);
    }
}

void ShotMarks::Hide() {
    hideSlots(slots, surface);
}

void ShotMarks::Show() {
    showSlots(slots, surface);
}

void ShotMarks::Clear() {
    freeSlots(slots, surface);
    count = 0;
    frames.free();
    surface = nullptr;
}
