// What the desktop backend shows of itself beyond platform.h: for its own tests and
// for the single-instance listener. No SDL types here.
#pragma once

#include <cstdint>
#include <vector>

namespace platform::desktop {

// The landscape picture (320 x 240 RGB565) the window shows, built from every rectangle
// presented so far.
const std::vector<uint16_t>& landscapeFrame();

// The window's size in window coordinates (what mouse positions are measured in).
void windowSize(int& width, int& height);

bool isFullscreen();
void toggleFullscreen();

// Asks the main loop to bring the window to the front (thread-safe: called by the
// single-instance listener when a second copy starts).
void requestRaise();
// How many raise requests the window has carried out.
int raisesDone();

}  // namespace platform::desktop
