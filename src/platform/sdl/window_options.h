// How the player asked the desktop window to start, from the command line. The backend
// applies it when it creates the window; anything left unset keeps the window's own
// choice (a remembered state, or three times the picture on a large enough screen).
#pragma once

namespace platform::desktop {

struct WindowOptions {
    enum class Mode { Default, Window, Fullscreen };
    Mode mode = Mode::Default;
    // The window's first size as a multiple of the 320 x 240 picture; 0 leaves it to the
    // window. Only the starting size: resizing and fullscreen still letterbox at the
    // largest whole multiple that fits.
    int scale = 0;
};

// Takes effect at the next window creation.
void setWindowOptions(const WindowOptions& options);
const WindowOptions& windowOptions();

}  // namespace platform::desktop
