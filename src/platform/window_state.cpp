#include "platform/window_state.h"

#include <algorithm>
#include <cstdio>

namespace platform {

std::string formatWindowState(const WindowState& s) {
    char line[96];
    std::snprintf(line, sizeof line, "window %d %d %d %d %d\n", s.x, s.y, s.width, s.height,
                  s.fullscreen ? 1 : 0);
    return line;
}

bool parseWindowState(const std::string& text, WindowState& s) {
    WindowState read;
    int fullscreen = -1;
    char rest = 0;
    const int n = std::sscanf(text.c_str(), "window %d %d %d %d %d %c", &read.x, &read.y,
                              &read.width, &read.height, &fullscreen, &rest);
    if (n != 5 || (fullscreen != 0 && fullscreen != 1)) return false;
    // Sizes beyond any screen are not a window anybody had.
    if (read.width <= 0 || read.height <= 0 || read.width > 100000 || read.height > 100000)
        return false;
    if (read.x < -100000 || read.x > 100000 || read.y < -100000 || read.y > 100000) return false;
    read.fullscreen = fullscreen == 1;
    s = read;
    return true;
}

WindowState fitOnScreens(WindowState s, const std::vector<ScreenArea>& screens, int minWidth,
                         int minHeight) {
    if (screens.empty()) return s;
    const long cx = static_cast<long>(s.x) + s.width / 2,
               cy = static_cast<long>(s.y) + s.height / 2;
    const ScreenArea* home = &screens.front();
    for (const ScreenArea& a : screens) {
        if (cx >= a.x && cx < static_cast<long>(a.x) + a.width && cy >= a.y &&
            cy < static_cast<long>(a.y) + a.height) {
            home = &a;
            break;
        }
    }
    s.width = std::clamp(s.width, minWidth, std::max(minWidth, home->width));
    s.height = std::clamp(s.height, minHeight, std::max(minHeight, home->height));
    s.x = std::clamp(s.x, home->x, std::max(home->x, home->x + home->width - s.width));
    s.y = std::clamp(s.y, home->y, std::max(home->y, home->y + home->height - s.height));
    return s;
}

}  // namespace platform
