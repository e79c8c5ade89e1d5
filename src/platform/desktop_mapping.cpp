// Orientation, scaling and key mapping of the desktop window.
#include "platform/desktop_mapping.h"

#include <algorithm>

namespace platform {

void deviceToLandscape(int dx, int dy, int& lx, int& ly) {
    lx = kLandscapeWidth - 1 - dy;
    ly = dx;
}

void landscapeToDevice(int lx, int ly, int& dx, int& dy) {
    dx = ly;
    dy = kLandscapeWidth - 1 - lx;
}

Viewport letterbox(int windowWidth, int windowHeight) {
    Viewport v;
    v.scale = std::max(1, std::min(windowWidth / kLandscapeWidth, windowHeight / kLandscapeHeight));
    v.x = (windowWidth - kLandscapeWidth * v.scale) / 2;
    v.y = (windowHeight - kLandscapeHeight * v.scale) / 2;
    return v;
}

int initialScale(int desktopWidth, int desktopHeight, int requested) {
    const int fits = std::min(desktopWidth / kLandscapeWidth, desktopHeight / kLandscapeHeight);
    return std::clamp(fits, 1, requested > 0 ? requested : 3);
}

void windowToDevice(const Viewport& v, int wx, int wy, int& dx, int& dy) {
    const int scale = std::max(1, v.scale);
    // Floor division, so that a position just left of or above the picture does not
    // round towards it.
    auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    const int lx = std::clamp(floorDiv(wx - v.x, scale), 0, kLandscapeWidth - 1);
    const int ly = std::clamp(floorDiv(wy - v.y, scale), 0, kLandscapeHeight - 1);
    landscapeToDevice(lx, ly, dx, dy);
}

bool keyMessage(DesktopKey key, bool pressed, Message& out) {
    const uint32_t keyMsg = pressed ? MSG_KEYDOWN : MSG_KEYUP;
    // The arrows turn with the picture: what the player sees as right is the device's up.
    switch (key) {
        case DesktopKey::Right:
            out = Message{keyMsg, VK_UP, 0};
            return true;
        case DesktopKey::Left:
            out = Message{keyMsg, VK_DOWN, 0};
            return true;
        case DesktopKey::Up:
            out = Message{keyMsg, VK_LEFT, 0};
            return true;
        case DesktopKey::Down:
            out = Message{keyMsg, VK_RIGHT, 0};
            return true;
        case DesktopKey::Enter:
        case DesktopKey::Space:
            out = Message{keyMsg, VK_RETURN, 0};
            return true;
        case DesktopKey::Digit1:
        case DesktopKey::Digit2:
        case DesktopKey::Digit3:
        case DesktopKey::Digit4: {
            const uint32_t button =
                VK_HW1 + static_cast<uint32_t>(key) - static_cast<uint32_t>(DesktopKey::Digit1);
            out = Message{pressed ? MSG_HOTKEY : MSG_KEYUP, button, 0};
            return true;
        }
    }
    return false;
}

}  // namespace platform
