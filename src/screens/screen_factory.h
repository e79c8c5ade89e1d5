// Creates the view registered under a screen id. The game object asks for every
// screen at start-up and owns what it gets.
#pragma once

#include <cstdint>

class View;
class SceneSurface;

// Ids: 0 main menu, 1 game screen, 3 help, 4 name entry, 5 pause menu, 7 scores,
// 8 about, 10 options, 11 credits, 12 splash, 13 transition (leads to view 0),
// 14 title. Null for any other id.
View* createScreen(uint8_t id, SceneSurface* surface);
