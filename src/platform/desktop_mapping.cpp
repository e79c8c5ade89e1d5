// Orientation, scaling and key mapping of the desktop window.
#include "platform/desktop_mapping.h"

#include <algorithm>
#include <cmath>
#include <utility>

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

bool windowToDevice(const Viewport& v, int wx, int wy, int& dx, int& dy) {
    const int scale = std::max(1, v.scale);
    // Floor division, so that a position just left of or above the picture does not
    // round towards it.
    auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    const int ux = floorDiv(wx - v.x, scale), uy = floorDiv(wy - v.y, scale);
    const int lx = std::clamp(ux, 0, kLandscapeWidth - 1);
    const int ly = std::clamp(uy, 0, kLandscapeHeight - 1);
    landscapeToDevice(lx, ly, dx, dy);
    return lx == ux && ly == uy;
}

bool pointerToDevice(const WindowGeometry& g, double wx, double wy, int& dx, int& dy) {
    // Window units to pixels: the picture is laid out in pixels.
    const double rx = g.windowWidth > 0 ? static_cast<double>(g.pixelWidth) / g.windowWidth : 1.0;
    const double ry =
        g.windowHeight > 0 ? static_cast<double>(g.pixelHeight) / g.windowHeight : 1.0;
    const int px = static_cast<int>(std::floor(wx * rx));
    const int py = static_cast<int>(std::floor(wy * ry));
    return windowToDevice(letterbox(g.pixelWidth, g.pixelHeight), px, py, dx, dy);
}

namespace {
Message penMessage(uint32_t message, int dx, int dy) {
    return Message{message, 0, packPoint(dx, dy)};
}
}  // namespace

bool Stylus::press(const WindowGeometry& g, double wx, double wy, Message& out) {
    int dx = 0, dy = 0;
    if (down || !pointerToDevice(g, wx, wy, dx, dy)) return false;
    down = true;
    out = penMessage(MSG_LBUTTONDOWN, dx, dy);
    return true;
}

bool Stylus::move(const WindowGeometry& g, double wx, double wy, Message& out) {
    // A stylus only moves while it touches the screen.
    if (!down) return false;
    int dx = 0, dy = 0;
    pointerToDevice(g, wx, wy, dx, dy);
    out = penMessage(MSG_MOUSEMOVE, dx, dy);
    return true;
}

bool Stylus::release(const WindowGeometry& g, double wx, double wy, Message& out) {
    if (!down) return false;
    down = false;
    int dx = 0, dy = 0;
    pointerToDevice(g, wx, wy, dx, dy);
    out = penMessage(MSG_LBUTTONUP, dx, dy);
    return true;
}

bool keyFromBrowserCode(std::string_view code, DesktopKey& key) {
    static constexpr std::pair<std::string_view, DesktopKey> kCodes[] = {
        {"ArrowLeft", DesktopKey::Left}, {"ArrowRight", DesktopKey::Right},
        {"ArrowUp", DesktopKey::Up},     {"ArrowDown", DesktopKey::Down},
        {"Enter", DesktopKey::Enter},    {"NumpadEnter", DesktopKey::Enter},
        {"Space", DesktopKey::Space},    {"Digit1", DesktopKey::Digit1},
        {"Digit2", DesktopKey::Digit2},  {"Digit3", DesktopKey::Digit3},
        {"Digit4", DesktopKey::Digit4},  {"Escape", DesktopKey::Escape},
        {"KeyP", DesktopKey::P},         {"F11", DesktopKey::F11},
    };
    for (const auto& [name, k] : kCodes) {
        if (name == code) {
            key = k;
            return true;
        }
    }
    return false;
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
        case DesktopKey::Escape:
            out = Message{keyMsg, VK_ESCAPE, 0};
            return true;
        case DesktopKey::P:
            out = Message{keyMsg, VK_PAUSE, 0};
            return true;
        case DesktopKey::F11:
            return false;
    }
    return false;
}

KeyAction keyAction(DesktopKey key, bool pressed, bool repeat, bool alt, Message& out) {
    const bool shortcut = key == DesktopKey::F11 || (alt && key == DesktopKey::Enter);
    if (pressed && shortcut) return repeat ? KeyAction::Nothing : KeyAction::ToggleFullscreen;
    if (repeat) return KeyAction::Nothing;
    return keyMessage(key, pressed, out) ? KeyAction::Send : KeyAction::Nothing;
}

Message minimisedMessage() {
    return Message{MSG_SIZE, SIZE_MINIMIZED, 0};
}

Message focusLostMessage() {
    return Message{MSG_ACTIVATE, WA_INACTIVE, 0};
}

}  // namespace platform
