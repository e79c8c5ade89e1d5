// Creates the view registered under a screen id. The game object asks for every
// screen at start-up and owns what it gets.
#pragma once

#include "shell/view_ids.h"

class GameObject;
class View;
class SceneSurface;

// Null for an id that names no screen.
View* createScreen(ViewId id, SceneSurface* surface);

// The game object with this factory handed in, made known in the application context:
// what the programs hand the application.
GameObject* createGame();
