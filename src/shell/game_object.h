// What the main loop needs of the game object. The game object and the screens it
// registers live above the shell, so the program hands the application a maker for it
// instead of the shell naming them.
#pragma once

#include "shell/input_event.h"

class GameObject {
  public:
    virtual ~GameObject() = default;
    // Creates the screen surface and registers every screen.
    virtual void Setup() = 0;
    virtual void Release() = 0;
    // One step of the round with the frame's event: 0 lets the animation step run,
    // 1 ends the frame, 2 ends the program.
    virtual int ProcessEvent(InputEvent& event) = 0;
};
