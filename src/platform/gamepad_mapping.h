// A game controller as the handheld's stylus and buttons: the left stick and the D-pad
// move an aim mark over the picture, A taps the stylus there, B or the right trigger
// press the reload button, the shoulder buttons scroll, Start opens the pause menu. Pure
// arithmetic on the controller's state, like the rest of the desktop mapping, so that
// the game never learns that a controller exists.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace platform {

enum class PadButton {
    A,
    B,
    Start,
    LeftShoulder,
    RightShoulder,
    DpadUp,
    DpadDown,
    DpadLeft,
    DpadRight,
};
constexpr int kPadButtonCount = static_cast<int>(PadButton::DpadRight) + 1;

class GamepadMapping {
  public:
    // Full deflection crosses the picture's width in this time.
    static constexpr double kCrossingMs = 700.0;
    // Stick axes run -32768..32767; inside this much of the travel the stick rests.
    static constexpr int kDeadZone = 8000;
    // The right trigger counts as pressed from this much of its travel (0..32767).
    static constexpr int kTriggerPressed = 16000;
    static constexpr int kTriggerReleased = 8000;

    // Each button press or release appends the messages it sends to `out`.
    void button(PadButton b, bool pressed, std::vector<Message>& out);
    void rightTrigger(int value, std::vector<Message>& out);
    void stick(int x, int y);
    // Moves the aim mark for the time that has passed; with A held a move that reaches
    // another pixel drags the pen.
    void advance(uint32_t elapsedMs, std::vector<Message>& out);
    // Lets go of everything held (the controller was unplugged).
    void releaseAll(std::vector<Message>& out);

    // The aim mark in landscape pixels (0..319, 0..239), shown once the controller has
    // been used and hidden again when the mouse or a finger takes over.
    double markX() const { return x; }
    double markY() const { return y; }
    bool markShown() const { return shown; }
    void hideMark() { shown = false; }
    // The device pixel under the mark.
    void markDevice(int& dx, int& dy) const;

  private:
    void penMessage(uint32_t message, std::vector<Message>& out);

    double x = 160.0, y = 120.0;
    int stickX = 0, stickY = 0;
    bool held[kPadButtonCount] = {};
    bool triggerHeld = false;
    int lastDx = -1, lastDy = -1;
    bool shown = false;
};

}  // namespace platform
