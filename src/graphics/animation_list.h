// The global list of animated sprites whose frames advance by time, and the main
// loop's animation step.
#pragma once

#include <cstdint>

#include "graphics/display_list.h"

class AnimatedSprite;
class SceneSurface;
class Surface;

class AnimationList : public DisplayList {
  public:
    SceneSurface* surface = nullptr;
};

// The program's one list (owned by the application); null until set.
AnimationList* animationList();
void setAnimationList(AnimationList* list);

// addSprite on the surface, then into the animation list.
void addAnimated(Surface* surface, AnimatedSprite* sprite, uint8_t layer);
// Out of the animation list only (the caller removes it from the surface).
void removeAnimated(AnimatedSprite* sprite);
void clearAnimated();
// Ticks every animated sprite; marks the ones that advanced and redraws when any did.
void animationStep();
