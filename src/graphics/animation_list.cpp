#include "graphics/animation_list.h"

#include "graphics/sprite.h"
#include "graphics/surface.h"

namespace {
AnimationList* theList = nullptr;
}

AnimationList* animationList() {
    return theList;
}

void setAnimationList(AnimationList* list) {
    theList = list;
}

void addAnimated(Surface* surface, AnimatedSprite* sprite, uint8_t layer) {
    if (surface != nullptr) surface->addSprite(sprite, layer);
    if (theList != nullptr) theList->insert(sprite, 0);
}

void removeAnimated(AnimatedSprite* sprite) {
    if (theList != nullptr) theList->remove(sprite);
}

void clearAnimated() {
    if (theList != nullptr) theList->clear();
}

void animationStep() {
    if (theList == nullptr) return;
    SceneSurface* surface = theList->surface;
    bool changed = false;
    int left = theList->count;
    for (DisplayList::Node* n = theList->head; n != nullptr && left > 0; n = n->next, --left) {
        auto* sprite = static_cast<AnimatedSprite*>(n->item);
        if (sprite->tick()) {
            if (surface != nullptr) surface->markDirty(sprite);
            changed = true;
        }
    }
    if (changed && surface != nullptr) surface->redrawAll();
}
