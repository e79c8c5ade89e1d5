// A two-state picture control that flips on every pen-down over it.
#pragma once

#include <cstdint>

#include "shell/control.h"

class ToggleButton : public Control {
  public:
    ToggleButton() = default;
    ~ToggleButton() override;
    ToggleButton(const ToggleButton&) = delete;
    ToggleButton& operator=(const ToggleButton&) = delete;

    // With `shared` null the toggle loads firstPicture..lastPicture into a set of its own;
    // otherwise it shows the shared set's pictures and owns none.
    void Setup(uint16_t id, int x, int y, int w, int h, int firstPicture, int lastPicture,
               int32_t initialState, const FrameSet* shared, uint8_t visible, bool keyed,
               bool blend, uint32_t period, int32_t mode);

    uint8_t HandleInput(InputEvent* event) override;
    uint8_t HitTest(int16_t x, int16_t y) override;

    int32_t state = 0;
    int16_t width = 0;
    int16_t height = 0;
};
