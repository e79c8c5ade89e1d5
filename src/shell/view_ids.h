// The ids the game's views are registered under in the view manager. The numbers are
// the game's own: the dump reports them and the history stack stores them.
#pragma once

#include <cstdint>

enum ViewId : uint8_t {
    VIEW_MAIN_MENU = 0,
    VIEW_GAME = 1,
    VIEW_HELP = 3,
    VIEW_NAME_ENTRY = 4,
    VIEW_PAUSE_MENU = 5,
    VIEW_SCORES = 7,
    VIEW_ABOUT = 8,
    VIEW_OPTIONS = 10,
    VIEW_CREDITS = 11,
    VIEW_SPLASH = 12,
    VIEW_TRANSITION = 13,  // registered, never made current; leads to the main menu
    VIEW_TITLE = 14,
};
