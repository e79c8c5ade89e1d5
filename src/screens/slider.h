// A vertical slider: a track picture and a knob button. The knob can be dragged, and a
// tap on the track pages the value toward the tapped place, repeating while the pen
// rests there.
#pragma once

#include <cstdint>

#include "shell/control.h"

class Button;

class Slider : public Control {
  public:
    // How a value change came about (second word of the notification).
    static constexpr int32_t kDragged = 0;
    static constexpr int32_t kPagedDown = 1;
    static constexpr int32_t kPagedUp = 2;

    enum DragState : int32_t { IDLE = 0, DRAGGING = 1, PAGING_STARTED = 2, PAGING_REPEATS = 3 };

    Slider() = default;
    ~Slider() override;
    Slider(const Slider&) = delete;
    Slider& operator=(const Slider&) = delete;

    // `keyOrMode` is both the track's colour key and the knob's animation mode.
    void Setup(uint16_t id, int trackX, int trackY, int trackW, int trackH, int knobW, int knobH,
               int firstTrackPicture, int lastTrackPicture, int knobNormalPicture,
               int knobPressedPicture, int16_t minValue, int16_t maxValue, int16_t initialValue,
               int8_t step, uint8_t visible, bool keyed, bool blend, uint32_t period,
               uint16_t keyOrMode);

    uint8_t HandleInput(InputEvent* event) override;
    uint8_t HitTest(int16_t x, int16_t y) override;

    // Where the knob's top edge sits for a value: larger values nearer the top.
    int32_t knobY(int v) const;
    // The value under a pen at screen row py (not clamped).
    int32_t valueAt(int py) const;

    // Reading a notification written by any slider.
    static int16_t notifiedValue(const InputEvent& e) { return static_cast<int16_t>(e.keys[10]); }
    static int16_t notifiedOldValue(const InputEvent& e) {
        return static_cast<int16_t>(static_cast<uint32_t>(e.keys[10]) >> 16);
    }

    int32_t dragState = IDLE;
    int32_t width = 0;
    int32_t height = 0;
    Button* knob = nullptr;
    int8_t step = 0;
    int16_t value = 0;
    int16_t minValue = 0;
    int16_t maxValue = 0;
    int8_t pixelsPerUnit = 1;
    int16_t pageTarget = 0;
    int16_t repeatDelay = 0;  // in units of 10 ms
    int32_t pageUp = 0;

  private:
    // One page step toward the bottom (down) or the top (up); true when the value moved.
    bool stepDown();
    bool stepUp();
    void moveTo(int16_t v);
    void notify(InputEvent* event, int32_t how, int16_t oldValue) const;
    int32_t knobHeight() const;
};
