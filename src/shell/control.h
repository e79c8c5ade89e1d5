// The base of every picture-based UI control (buttons, toggles, sliders).
#pragma once

#include <cstdint>

#include "graphics/sprite.h"
#include "shell/input_event.h"

class FrameSet;

class Control {
  public:
    // Frees a frame set that is still held.
    virtual ~Control();
    // 1 when the control took the event (offering stops there), 0 otherwise. The
    // control may rewrite the event into a notification.
    virtual uint8_t HandleInput(InputEvent* event) = 0;
    // 1 when (x, y) lies inside, edges included.
    virtual uint8_t HitTest(int16_t x, int16_t y) = 0;
    // Frees the frame set if the control owns one, and forgets it.
    virtual void ReleasePictures();

    AnimatedSprite sprite;
    FrameSet* frames = nullptr;
    uint16_t id = 0;
    uint8_t visible = 0;
};
