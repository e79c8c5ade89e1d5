// Helpers for the actors' fixed slot arrays of owned objects that carry an animated
// sprite (movers, effects): taking a sprite off the screen, freeing a whole array and
// removing one slot, with the last used entry moving into its place.
#pragma once

#include <cstddef>

#include "graphics/animation_list.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"

// Takes an animated sprite off the surface (when there is one) and out of the
// animation list.
inline void takeOffScreen(Surface* surface, AnimatedSprite* sprite) {
    if (surface != nullptr) surface->removeSprite(sprite);
    removeAnimated(sprite);
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

// Frees slot j of a compact slot array; the last used entry moves into slot j.
template <class T, size_t N, class Count>
void dropSlot(T* (&slots)[N], int j, Count& count, Surface* surface) {
    takeOffScreen(surface, slots[j]->sprite);
    delete slots[j];
    slots[j] = slots[count - 1];
    slots[count - 1] = nullptr;
    --count;
}
