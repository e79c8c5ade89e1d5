// The words for a save that did not reach the store. Every save shows at most one box,
// and a score that could not be kept is never lost silently.
#pragma once

#include <cstdint>
#include <string>

// The cause of a failed store call as a sentence ("The disk is full.").
std::string saveCause(uint32_t error);

// The box for a failed score-table save, and for the shutdown save of settings and
// table together: the game's own "Disk is full!" and "Invalid parameter!" for the two
// codes it knows, else "`what` could not be saved." and the cause.
std::string saveFailureText(const char* what, uint32_t error);
