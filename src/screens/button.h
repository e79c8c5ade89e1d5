// A push button drawn from pictures: frame 0 normal, frame 1 pressed. It fires when the
// pen comes up over it after going down on it.
#pragma once

#include <cstdint>

#include "shell/control.h"

class Image;

class Button : public Control {
  public:
    static constexpr int32_t kNormal = 0;
    static constexpr int32_t kPressed = 1;
    static constexpr int32_t kDisabled = 2;

    Button() = default;
    ~Button() override;
    Button(const Button&) = delete;
    Button& operator=(const Button&) = delete;

    // Loads pictures firstPicture..lastPicture (each w x h) into a frame set of its own.
    void Setup(uint16_t id, int x, int y, int w, int h, int firstPicture, int lastPicture,
               int32_t initialState, uint8_t visible, bool keyed, bool blend, uint32_t period,
               int32_t mode, bool saveUnder);
    // Shows pictures that belong to somebody else; they outlive the button.
    void Setup(uint16_t id, int x, int y, int w, int h, Image* const* pictures, int count,
               int32_t initialState, uint8_t visible, bool keyed, bool blend, uint32_t period,
               int32_t mode, bool saveUnder);

    // The set-up every screen button uses: normal, visible, opaque, 100 ms, no save-under.
    void SetupPlain(uint16_t id, int x, int y, int w, int h, int normalPicture, int pressedPicture);

    uint8_t HandleInput(InputEvent* event) override;
    uint8_t HitTest(int16_t x, int16_t y) override;
    virtual void OnDrag() {}

    // Shows the normal or pressed picture.
    void ShowFrame(int n);

    int32_t state = kNormal;
    uint8_t captured = 0;
    int32_t width = 0;
    int32_t height = 0;

  private:
    void finishSetup(uint16_t id, int x, int y, int w, int h, int32_t initialState, uint8_t visible,
                     bool keyed, bool blend, uint32_t period, int32_t mode, bool saveUnder);
};
