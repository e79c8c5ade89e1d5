// The desktop's view of the device: how the 240 x 320 device screen sits turned and
// scaled in a window, and which messages the keyboard and mouse stand for. Pure
// arithmetic, shared by the desktop backend and the simulator (which sends the same
// messages the desktop would).
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace platform {

constexpr int kDeviceWidth = 240;
constexpr int kDeviceHeight = 320;
constexpr int kLandscapeWidth = 320;
constexpr int kLandscapeHeight = 240;

// Device pixel (dx, dy) appears at landscape (319 - dy, dx); the inverse takes a
// landscape position back to the device.
void deviceToLandscape(int dx, int dy, int& lx, int& ly);
void landscapeToDevice(int lx, int ly, int& dx, int& dy);

// Where the landscape picture sits in a window: an integer scale, centred, with bars.
struct Viewport {
    int x = 0, y = 0;  // top-left of the picture in the window
    int scale = 1;
};
Viewport letterbox(int windowWidth, int windowHeight);

// The first window size's scale: the requested one (0: three), or the largest integer
// scale that fits the desktop if that is smaller (at least one).
int initialScale(int desktopWidth, int desktopHeight, int requested = 0);

// A window position to the device pen position, clamped to the screen.
void windowToDevice(const Viewport& v, int wx, int wy, int& dx, int& dy);

// The keys of the desktop that mean something to the game.
enum class DesktopKey {
    Left,
    Right,
    Up,
    Down,
    Enter,
    Space,
    Digit1,
    Digit2,
    Digit3,
    Digit4,
};

// The message a key press or release sends; false when it sends none (the hardware
// buttons are pressed through their hot key and released through a key-up).
bool keyMessage(DesktopKey key, bool pressed, Message& out);

// The right mouse button stands for hardware button 195 (reload).
constexpr uint32_t kRightButtonHotKey = 195;

}  // namespace platform
