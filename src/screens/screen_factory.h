// Creates the view registered under a screen id. The game object asks for every
// screen at start-up and owns what it gets.
#pragma once

#include "shell/view_ids.h"

class View;
class SceneSurface;

// Null for an id that names no screen.
View* createScreen(ViewId id, SceneSurface* surface);
