// The game object: owns the screen surface and every view, and runs the round while
// the game screen (view 1) is current.
#pragma once

#include <cstdint>

#include "shell/input_event.h"

class SceneSurface;
class View;
class PictureFont;

class Game {
public:
    Game() = default;
    virtual ~Game();

    void Setup();
    void Release();
    int ProcessEvent(InputEvent& event);
    void StartRound();
    void EndRound();
    void SuspendRound();
    void ResumeRound();

    SceneSurface* surface = nullptr;
    int32_t savedScrollX = 0;
    int32_t savedScrollY = 0;
    // Views by id (13, 1, 0, 12, 10, 3, 7, 11, 4, 8, 5, 14 are used), owned.
    View* views[20] = {};
    PictureFont* popupFont = nullptr;
    int16_t otherHits = 0;
    int16_t shotDucks = 0;
    int16_t shotLeaves = 0;
    int16_t penalties = 0;
    int16_t shotsFired = 0;
    uint32_t lastBlinkTick = 0;
    uint8_t timeWarningGiven = 0;
};
