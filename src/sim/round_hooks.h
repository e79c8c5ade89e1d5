// What the simulator asks of the running round (defined beside the round's code in
// round_dump.cpp).
#pragma once

#include <string>

// Writes the JSON object that describes the round into `out`; false when there is no
// round data to show.
bool roundJson(std::string& out);

// A device position on an opaque pixel of the first duck wholly on screen, and a short
// description of which duck that is; false when there is none.
bool tapDuckPosition(int& x, int& y, std::string& which);
