// The game controller's mapping: aim mark speed, the stylus tap, reload, scroll, pause.
#include "platform/gamepad_mapping.h"

#include <algorithm>
#include <cmath>

#include "platform/desktop_mapping.h"

namespace platform {
namespace {

constexpr double kSpeed = kLandscapeWidth / GamepadMapping::kCrossingMs;  // pixels per ms

// One stick axis as a share of full speed: nothing inside the dead zone, then growing
// with the square of the deflection, so that small corrections stay small.
double axisSpeed(int value) {
    const double travel = std::abs(static_cast<double>(value)) - GamepadMapping::kDeadZone;
    if (travel <= 0.0) return 0.0;
    const double share = std::min(1.0, travel / (32767.0 - GamepadMapping::kDeadZone));
    return (value < 0 ? -1.0 : 1.0) * share * share;
}

}  // namespace

void GamepadMapping::markDevice(int& dx, int& dy) const {
    landscapeToDevice(static_cast<int>(x), static_cast<int>(y), dx, dy);
}

void GamepadMapping::penMessage(uint32_t message, std::vector<Message>& out) {
    markDevice(lastDx, lastDy);
    out.push_back(Message{message, 0, packPoint(lastDx, lastDy)});
}

void GamepadMapping::button(PadButton b, bool pressed, std::vector<Message>& out) {
    bool& isHeld = held[static_cast<int>(b)];
    if (pressed == isHeld) return;
    isHeld = pressed;
    Message m;
    switch (b) {
        case PadButton::A:
            shown = true;
            penMessage(pressed ? MSG_LBUTTONDOWN : MSG_LBUTTONUP, out);
            return;
        case PadButton::B:
            // B and the right trigger are one reload button: it goes down with the first
            // of them and comes up with the last.
            if (!triggerHeld)
                out.push_back(Message{pressed ? MSG_HOTKEY : MSG_KEYUP, kRightButtonHotKey, 0});
            return;
        case PadButton::Start:
            if (keyMessage(DesktopKey::P, pressed, m)) out.push_back(m);
            return;
        case PadButton::LeftShoulder:
        case PadButton::RightShoulder:
            // The shoulders scroll like the arrows the player sees as left and right.
            if (keyMessage(b == PadButton::LeftShoulder ? DesktopKey::Left : DesktopKey::Right,
                           pressed, m))
                out.push_back(m);
            return;
        case PadButton::DpadUp:
        case PadButton::DpadDown:
        case PadButton::DpadLeft:
        case PadButton::DpadRight:
            if (pressed) shown = true;
            return;
    }
}

void GamepadMapping::rightTrigger(int value, std::vector<Message>& out) {
    const bool pressed = triggerHeld ? value > kTriggerReleased : value >= kTriggerPressed;
    if (pressed == triggerHeld) return;
    triggerHeld = pressed;
    if (!held[static_cast<int>(PadButton::B)])
        out.push_back(Message{pressed ? MSG_HOTKEY : MSG_KEYUP, kRightButtonHotKey, 0});
}

void GamepadMapping::stick(int sx, int sy) {
    stickX = sx;
    stickY = sy;
}

void GamepadMapping::advance(uint32_t elapsedMs, std::vector<Message>& out) {
    auto isHeld = [this](PadButton b) { return held[static_cast<int>(b)]; };
    double vx = axisSpeed(stickX), vy = axisSpeed(stickY);
    // The D-pad moves at full speed; against the stick it wins.
    const bool left = isHeld(PadButton::DpadLeft), right = isHeld(PadButton::DpadRight);
    const bool up = isHeld(PadButton::DpadUp), down = isHeld(PadButton::DpadDown);
    if (left != right) vx = left ? -1.0 : 1.0;
    if (up != down) vy = up ? -1.0 : 1.0;
    if (vx == 0.0 && vy == 0.0) return;
    shown = true;
    // A long stall (the machine was busy) must not fling the mark across the picture.
    const double ms = std::min<uint32_t>(elapsedMs, 50);
    x = std::clamp(x + vx * kSpeed * ms, 0.0, kLandscapeWidth - 0.001);
    y = std::clamp(y + vy * kSpeed * ms, 0.0, kLandscapeHeight - 0.001);
    if (!isHeld(PadButton::A)) return;
    int dx = 0, dy = 0;
    markDevice(dx, dy);
    if (dx != lastDx || dy != lastDy) penMessage(MSG_MOUSEMOVE, out);
}

void GamepadMapping::releaseAll(std::vector<Message>& out) {
    for (int b = 0; b < kPadButtonCount; ++b) button(static_cast<PadButton>(b), false, out);
    rightTrigger(0, out);
    stickX = stickY = 0;
}

}  // namespace platform
