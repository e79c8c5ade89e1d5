// The desktop's view of the device: how the 240 x 320 device screen sits turned and
// scaled in a window, and which messages the keyboard and mouse stand for. Pure
// arithmetic, shared by the desktop and browser backends and the simulator (which sends
// the same messages the desktop would).
#pragma once

#include <cstdint>
#include <string_view>

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

// A position in the window's pixels to the device pen position, clamped to the screen.
// False when the position lies outside the picture (in the bars); the clamped position
// is still given.
bool windowToDevice(const Viewport& v, int wx, int wy, int& dx, int& dy);

// The window's size as the pointer measures it and as the picture is drawn. The two
// differ on HiDPI displays, where one window unit covers several pixels.
struct WindowGeometry {
    int windowWidth = 0, windowHeight = 0;
    int pixelWidth = 0, pixelHeight = 0;
};
// A pointer position in window units (fractions allowed: fingers report them) to the
// device, through the same viewport the picture is drawn with. False in the bars.
bool pointerToDevice(const WindowGeometry& g, double wx, double wy, int& dx, int& dy);

// The stylus as a mouse button or a finger drives it: a press in the bars beside the
// picture does nothing (the button at the picture's edge stays unpressed); a press that
// landed holds the pen until its release, and moves and the release that leave the
// picture keep to its edge.
class Stylus {
  public:
    bool press(const WindowGeometry& g, double wx, double wy, Message& out);
    bool move(const WindowGeometry& g, double wx, double wy, Message& out);
    bool release(const WindowGeometry& g, double wx, double wy, Message& out);
    bool held() const { return down; }

  private:
    bool down = false;
};

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
    Escape,  // the pause menu, and back to the round from it
    P,       // the same
    F11,     // fullscreen on and off
};

// The browser names keys by their place on the keyboard ("ArrowLeft", "Digit1",
// "NumpadEnter"...); false for a key that means nothing to the game.
bool keyFromBrowserCode(std::string_view code, DesktopKey& key);

// The message a key press or release sends; false when it sends none (the hardware
// buttons are pressed through their hot key and released through a key-up).
bool keyMessage(DesktopKey key, bool pressed, Message& out);

// What one key event of the desktop does.
enum class KeyAction { Nothing, Send, ToggleFullscreen };
// F11 and Alt+Enter toggle fullscreen when pressed. A release always reaches the game,
// whatever is held with it: an Enter pressed alone and released after Alt went down
// must still come up. Auto-repeats send nothing (a held key repeats at the frame rate).
KeyAction keyAction(DesktopKey key, bool pressed, bool repeat, bool alt, Message& out);

// What the window sends when the player turns away from it.
Message minimisedMessage();
Message focusLostMessage();

// The right mouse button stands for hardware button 195 (reload).
constexpr uint32_t kRightButtonHotKey = 195;

}  // namespace platform
