// The program's one application object: start-up, the main loop and shutdown.
#pragma once

#include <cstdint>

#include "shell/input_event.h"

class AnimationList;
class ViewManager;
class GameObject;
class GameSound;
class Settings;
namespace platform {
struct Message;
}

class Application {
  public:
    // Runs the program: the handheld's entry point, translated for Linux. Returns the
    // process exit status: 0 after a normal run or when another copy runs, 1 when
    // start-up failed.
    int Main();

    bool init();
    void run();
    void shutdown();
    bool dispatchFrame(InputEvent& event);
    // One message through the input state into one frame; false when the program ends.
    bool frame(const platform::Message& msg);
    // A tap of the pen at device (x, y), as the shell's pause shortcuts make it.
    bool tap(int16_t x, int16_t y);
    // Waits for one message and turns it into an event without dispatching it (modal
    // boxes that run their own loop). Returns false once the window was closed.
    bool pollEvent(InputEvent& out);

    Settings* settings = nullptr;
    AnimationList* animationList = nullptr;
    ViewManager* viewManager = nullptr;
    // Set by the program before Main: makes the game object and makes it known in the
    // application context.
    GameObject* (*createGame)() = nullptr;
    GameObject* game = nullptr;
    GameSound* sound = nullptr;
    InputState input;
    InputEvent event;              // the main loop's one live record
    InputEvent pollRecord;         // the record the modal loops' events are built in
    bool quitSeen = false;         // the window was closed while a modal loop was running
    bool anotherCopyRuns = false;  // init() failed only because another copy runs
};

Application& application();
