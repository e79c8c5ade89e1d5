// The program's entry point, start-up, main loop and shutdown.
#include "shell/application.h"

#include <cstdio>
#include <new>

#include "audio/game_sound.h"
#include "graphics/animation_list.h"
#include "persist/settings.h"
#include "platform/platform.h"
#include "shell/app_context.h"
#include "shell/game_object.h"
#include "shell/pause_shortcut.h"
#include "shell/view_manager.h"

namespace {
constexpr uint32_t kTimerPeriodMs = 10;
}  // namespace

Application& application() {
    static Application app;
    return app;
}

int Application::Main() {
    platform::showWaitCursor(true);
    if (!init()) {
        // Another copy runs: not a failure on this side, that copy is now in front.
        return anotherCopyRuns ? 0 : 1;
    }
    run();
    shutdown();
    return 0;
}

bool Application::init() {
    anotherCopyRuns = false;
    if (!platform::claimSingleInstance()) {
        anotherCopyRuns = true;
        return false;
    }
    if (!platform::createWindow()) return false;
    // The rest of the program takes every long-lived object for granted, so running
    // without one is no option: say so and give up the start.
    try {
        animationList = new AnimationList();
        setAnimationList(animationList);
        viewManager = new ViewManager();
        sound = new GameSound();
        game = createGame != nullptr ? createGame() : nullptr;
        settings = new Settings(sound);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "tallreed: out of memory while starting\n");
        platform::messageBox("Not enough memory to start the game.", "Error",
                             platform::BoxIcon::Stop);
        return false;
    }
    AppContext& context = appContext();
    context.settings = settings;
    context.sound = sound;
    context.viewManager = viewManager;
    // A program that hands in no game object has nothing to run.
    if (game == nullptr) return false;
    game->Setup();
    return platform::startTimer(kTimerPeriodMs);
}

void Application::run() {
    input.flags = 0;
    input.penDown = 0;
    platform::Message msg;
    while (!quitSeen && platform::getMessage(msg)) {
        // A shortcut to or from the pause menu is the tap it stands for, in place of
        // the message: the round sees the same frames as for the player's own tap.
        int16_t x = 0, y = 0;
        const bool go = pauseTapFor(msg, viewManager->currentId, x, y) ? tap(x, y) : frame(msg);
        if (!go) break;
    }
}

bool Application::frame(const platform::Message& msg) {
    applyMessage(input, msg);
    buildEvent(input, event);
    return dispatchFrame(event);
}

bool Application::tap(int16_t x, int16_t y) {
    using platform::packPoint;
    // A pen still down (the window lost the focus during a drag) comes up first, so
    // that the tap's pen-down is a new one.
    if (input.penDown != 0 &&
        !frame({platform::MSG_LBUTTONUP, 0, packPoint(input.penX, input.penY)}))
        return false;
    return frame({platform::MSG_LBUTTONDOWN, 0, packPoint(x, y)}) &&
           frame({platform::MSG_LBUTTONUP, 0, packPoint(x, y)});
}

bool Application::dispatchFrame(InputEvent& e) {
    int result = viewManager->Dispatch(e);
    if (result == 1) return true;
    if (result == 2) return false;
    result = game->ProcessEvent(e);
    if (result == 1) return true;
    if (result == 2) return false;
    animationStep();
    return true;
}

bool Application::pollEvent(InputEvent& out) {
    if (quitSeen) return false;
    platform::Message msg;
    if (!platform::getMessage(msg)) {
        // The window is gone: the modal loop must end, and so must the main loop.
        quitSeen = true;
        return false;
    }
    // Same flag word and pen flag as the main loop, but the position is only the one
    // this message carries, and the main loop's remembered position stays as it was.
    InputState state = input;
    applyMessage(state, msg);
    const bool penMessage = msg.message == platform::MSG_LBUTTONDOWN ||
                            msg.message == platform::MSG_MOUSEMOVE ||
                            msg.message == platform::MSG_LBUTTONUP;
    state.penX = penMessage ? platform::pointX(msg.lParam) : 0;
    state.penY = penMessage ? platform::pointY(msg.lParam) : 0;
    buildEvent(state, pollRecord);
    input.flags = state.flags;
    input.penDown = state.penDown;
    out = pollRecord;
    return true;
}

void Application::shutdown() {
    AppContext& context = appContext();
    delete viewManager;
    viewManager = nullptr;
    context.viewManager = nullptr;
    if (animationList != nullptr) {
        animationList->clear();
        setAnimationList(nullptr);
        delete animationList;
        animationList = nullptr;
    }
    if (game != nullptr) {
        game->Release();
        delete game;
        game = nullptr;
    }
    context.game = nullptr;
    // The settings outlive the sound: they must not reach a destroyed one when saving.
    if (settings != nullptr) settings->sound = nullptr;
    delete sound;
    sound = nullptr;
    context.sound = nullptr;
    delete settings;
    settings = nullptr;
    context.settings = nullptr;
}
