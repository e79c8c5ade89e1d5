// The desktop's ways to the pause menu. They end in the handheld's own input: a tap on
// the pause icon during a round, a tap on Resume on the pause menu, so the game does
// exactly what it does for the player's own tap.
#pragma once

#include <cstdint>

namespace platform {
struct Message;
}

// The tap a message stands for on the current screen: the window minimised or losing
// the focus, or Escape or Pause pressed, during a round taps the pause icon; Escape or
// Pause on the pause menu taps Resume. False when the message stands for no tap.
bool pauseTapFor(const platform::Message& msg, int currentView, int16_t& x, int16_t& y);
