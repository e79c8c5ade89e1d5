// Where the desktop window's state is kept between runs: one small file,
// $XDG_CONFIG_HOME/tallreed/window (by default ~/.config/tallreed/window).
#pragma once

#include <string>

#include "platform/window_state.h"

namespace platform::desktop {

std::string windowStatePath();
// False when there is no file or it holds no window state.
bool loadWindowState(WindowState& s);
// Written whole into a new file that then takes the old one's place, so that a crash
// never leaves half a line. Failing to write only costs the next run its window.
void saveWindowState(const WindowState& s);

}  // namespace platform::desktop
