// Helpers for the actors' fixed slot arrays of owned objects that carry an animated
// sprite (movers, effects): taking a sprite off the screen, freeing a whole array and
// removing one slot, with the last used entry moving into its place.
#pragma once

#include <cstddef>

#include "graphics/animation_list.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"

// A new animated sprite over the frames at (x, y), with a save-under image and keyed by
// its first frame's top-left pixel, as every moving thing of a round is; null when the
// frame set is empty or the sprite cannot be set up.
inline AnimatedSprite* newRoundAnimation(const FrameSet* frames, int32_t x, int32_t y, bool blend,
                                         uint32_t period, int32_t mode) {
    if (frames == nullptr || frames->count <= 0) return nullptr;
    auto* s = new AnimatedSprite();
    if (s->initAnimation(frames, x, y, true, true, blend, period, mode, kKeyFromImage) == 0) {
        delete s;
        return nullptr;
    }
    return s;
}

// Takes an animated sprite off the surface (when there is one) and out of the
// animation list.
inline void takeOffScreen(Surface* surface, AnimatedSprite* sprite) {
    if (surface != nullptr) surface->removeSprite(sprite);
    removeAnimated(sprite);
}

// Takes the sprite of every object of a slot array off the surface (the round is
// suspended), and puts each back at its own layer unless it is there already.
template <class T, size_t N>
void hideSlots(T* (&slots)[N], Surface* surface) {
    if (surface == nullptr) return;
    for (T* p : slots) {
        if (p != nullptr) surface->removeSprite(p->sprite);
    }
}

template <class T, size_t N>
void showSlots(T* (&slots)[N], Surface* surface) {
    if (surface == nullptr) return;
    for (T* p : slots) {
        if (p != nullptr && !surface->list.contains(p->sprite)) {
            surface->addSprite(p->sprite, p->sprite->layer);
        }
    }
}

// Frees every object of a slot array, taking its sprite off the screen first, so that
// no list keeps a pointer to a freed sprite.
template <class T, size_t N>
void freeSlots(T* (&slots)[N], Surface* surface) {
    for (T*& p : slots) {
        if (p != nullptr) takeOffScreen(surface, p->sprite);
        delete p;
        p = nullptr;
    }
}

// Puts an object into the next free slot and its sprite on the screen (and into the
// animation list) at the layer. The array is the hard limit: an object that finds it
// full is freed rather than written past the end, and the answer is false.
template <class T, size_t N, class Count>
bool addSlot(T* (&slots)[N], Count& count, T* p, Surface* surface, uint8_t layer) {
    if (count >= static_cast<Count>(N)) {
        delete p;
        return false;
    }
    if (surface != nullptr) addAnimated(surface, p->sprite, layer);
    slots[count++] = p;
    return true;
}

// Frees slot j of a compact slot array; the last used entry moves into slot j.
template <class T, size_t N, class Count>
void dropSlot(T* (&slots)[N], int j, Count& count, Surface* surface) {
    takeOffScreen(surface, slots[j]->sprite);
    delete slots[j];
    slots[j] = slots[count - 1];
    slots[count - 1] = nullptr;
    --count;
}
