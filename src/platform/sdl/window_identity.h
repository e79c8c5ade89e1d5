// What lets a desktop recognise the game's window: its class (which the desktop entry
// names) and its icon, drawn by the art generator and linked into the program.
#pragma once

#include <cstdint>
#include <span>

struct SDL_Window;

namespace platform::desktop {

// The window class, on X11 and Wayland alike; set before the video subsystem starts.
// A class the user chose through SDL's own variables is kept.
void nameWindowClass();

// Gives the window the game's icon.
void setWindowIcon(SDL_Window* window);

// The icon linked into the program: kWindowIconSize squared pixels, bytes R, G, B, A.
constexpr int kWindowIconSize = 64;
std::span<const uint8_t> windowIconPixels();

}  // namespace platform::desktop
