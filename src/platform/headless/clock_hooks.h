// How the headless backend's parts meet: the virtual clock tells the wave output when
// time moves on, so that played buffers come back in lock-step with the game.
#pragma once

#include <cstdint>

namespace headless::detail {

// Called by the clock every time virtual time moves forward from `from` to `to`; the
// wave output hands back (and waits for the engine to refill) every buffer whose
// playing time has passed by then. Implemented by the headless wave output.
void onClockAdvanced(uint64_t from, uint64_t to);

// Called by headless::reset(): forget captured audio, allow the device again.
void resetAudio();

// Called by headless::reset(): a fresh black window, nothing presented, no boxes.
void resetWindow();

// The clock as a 64-bit count that never wraps (tickCount() is its low 32 bits).
uint64_t nowWide();

}  // namespace headless::detail
