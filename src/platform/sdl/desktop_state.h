// The desktop backend's one window and what its parts share. Internal to src/platform/sdl.
#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <thread>
#include <vector>

#include "platform/desktop_mapping.h"
#include "platform/gamepad_mapping.h"
#include "platform/platform.h"
#include "platform/sdl/desktop_presenter.h"
#include "platform/sdl/heartbeat.h"

namespace platform::desktop {

struct Desktop {
    SDL_Window* window = nullptr;
    Presenter presenter;
    std::thread::id windowThread;
    std::deque<Message> pending;
    uint32_t raiseEvent = 0;  // an SDL user event type, 0 until registered
    Heartbeat heartbeat;      // on the steady clock, in microseconds
    std::atomic<int> raiseRequests{0};
    int raisesDone = 0;
    bool closed = false;
    bool ticked = false;  // a timer message has been handed out
    bool fullscreen = false;
    // The stylus: the left mouse button or one finger.
    Stylus stylus;
    bool fingerDown = false;
    SDL_FingerID finger = 0;
    // Game controllers, read on every timer tick.
    GamepadMapping pad;
    std::vector<SDL_GameController*> controllers;
    bool controllersStarted = false;
    uint32_t lastPadTick = 0;
    SDL_Cursor* waitCursor = nullptr;
    SDL_Cursor* aimCursor = nullptr;
};

Desktop& state();

// Turns one SDL event of the keyboard, mouse, touch screen or window into messages on
// the pending queue.
void translateInput(const SDL_Event& ev);
// Reads the game controllers (plugged in or out since the last tick included) and moves
// the aim mark; called on every timer tick.
void pollControllers();
void closeControllers();

}  // namespace platform::desktop
