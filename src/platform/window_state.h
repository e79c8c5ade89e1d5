// The desktop window's size, position and fullscreen, remembered between runs, and how
// a remembered window is fitted onto the screens there are now.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct ScreenArea {
    int x = 0, y = 0, width = 0, height = 0;
};

struct WindowState {
    int x = 0, y = 0;           // the window's inside, in desktop coordinates
    int width = 0, height = 0;  // the window's size when not fullscreen
    bool fullscreen = false;
};

// One line, "window X Y WIDTH HEIGHT FULLSCREEN". False for anything else (the file was
// damaged or written by something else): the window then starts as on a first run.
std::string formatWindowState(const WindowState& s);
bool parseWindowState(const std::string& text, WindowState& s);

// Keeps a remembered window on the screens there are now (given by their usable areas,
// the first being the primary one): on the screen that holds its centre, else on the
// first; no larger than that screen's area and no smaller than the picture; moved so
// that all of it lies on that screen.
WindowState fitOnScreens(WindowState s, const std::vector<ScreenArea>& screens, int minWidth,
                         int minHeight);

}  // namespace platform
