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

// Whether the window is on the screen (it opens with its first picture).
bool windowShown();
// Whether the picture goes through the window's own framebuffer (else a renderer).
bool usesWindowSurface();
// The controller's aim mark: shown or not, and the device pixel under it.
void aimMark(bool& shown, int& dx, int& dy);

// Sleeps on the window's thread without holding back a picture that falls due.
void sleepShowing(uint32_t ms);

}  // namespace platform::desktop
