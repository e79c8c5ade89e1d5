#include "game/hit_effects.h"

#include "game/effect_sprite.h"
#include "game/slots.h"
#include "graphics/animation_list.h"
#include "graphics/picture_ids.h"
#include "graphics/surface.h"

HitEffects hitEffects;

HitEffects::~HitEffects() {
    for (EffectSprite*& e : slots) {
        delete e;
        e = nullptr;
    }
}

void HitEffects::Init(Surface* surface_) {
    for (EffectSprite*& e : slots) {
        delete e;
        e = nullptr;
    }
    count = 0;
    largeFrames.free();
    smallFrames.free();
    largeFrames.loadRange(PIC_LARGE_BURST_FIRST, PIC_LARGE_BURST_LAST, 70, 120);
    smallFrames.loadRange(PIC_SMALL_BURST_FIRST, PIC_SMALL_BURST_LAST, 36, 60);
    surface = surface_;
}

void HitEffects::Spawn(int32_t x, int32_t y, uint8_t kind) {
    if (count >= kMaxLive) return;
    const bool large = kind < 3;
    const int32_t dx = large ? 0 : 4;
    const int32_t dy = large ? 25 : 12;
    auto* e = new EffectSprite();
    if (!e->Start(x - dx, y - dy, large ? &largeFrames : &smallFrames, 75, true, large ? 1 : 2)) {
        delete e;
        return;
    }
    slots[count++] = e;
    if (surface != nullptr) addAnimated(surface, e->sprite, large ? 131 : 51);
}

void HitEffects::Update() {
    const int atEntry = count;
    for (int j = 0; j < atEntry; ++j) {
        EffectSprite* e = slots[j];
        if (e == nullptr) continue;
        e->Update();
        if (e->finished) dropSlot(slots, j, count, surface);
    }
}

void HitEffects::Hide() {
    hideSlots(slots, surface);
}

void HitEffects::Show() {
    showSlots(slots, surface);
}

void HitEffects::Clear() {
    freeSlots(slots, surface);
    count = 0;
    largeFrames.free();
    smallFrames.free();
    surface = nullptr;
}
