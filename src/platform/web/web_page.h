// How the browser backend's parts meet. The game runs on a stack that the page can
// suspend (ASYNCIFY): every wait of the game ends up in yieldToPage, which hands the
// page its event loop back for a while and lets the sound device refill itself.
#pragma once

#include <cstdint>

namespace platform::web {

// Suspends the game for about `ms` milliseconds (0: just let the page run once).
// Refills the sound device before and after.
void yieldToPage(uint32_t ms);

// Lets the wave output take back what it has played and have the engine refill it.
// Does nothing while no wave output is open.
void pumpAudio();

// Replaces the game on the page by a short note (the game has ended, or another tab
// runs it).
void showPageNote(const char* text);

}  // namespace platform::web
