// The game object: owns the screen surface and every view, and runs the round while
// the game screen is current.
#pragma once

#include <cstdint>

#include "shell/game_object.h"
#include "shell/input_event.h"
#include "shell/view_ids.h"

class SceneSurface;
class View;
class PictureFont;

// Makes the screen registered under an id; null for an id that names none.
using ScreenFactory = View* (*)(ViewId id, SceneSurface* surface);

class Game : public GameObject {
  public:
    static constexpr uint32_t kRoundSeconds = 180;
    static constexpr int32_t kStartScrollY = 639;

    // The screens come from `createScreen`, which lives above the game: without one
    // the game registers no screen.
    explicit Game(ScreenFactory createScreen = nullptr) : createScreen(createScreen) {}
    ~Game() override;
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    void Setup() override;
    void Release() override;
    int ProcessEvent(InputEvent& event) override;
    void StartRound();
    void EndRound();
    void SuspendRound();
    void ResumeRound();

    // Hits per shot in percent, truncated; 0 when no shot was fired. One shot can hit
    // several things, so the value may pass 100; it is kept within the signed byte the
    // statistics are stored in (at most 127) instead of wrapping to a negative number.
    static int32_t Accuracy(int32_t hits, int32_t shots);

    ScreenFactory createScreen = nullptr;
    SceneSurface* surface = nullptr;
    int32_t savedScrollX = 0;
    int32_t savedScrollY = 0;
    // Views by id (the ids of ViewId are used), owned.
    View* views[20] = {};
    PictureFont* popupFont = nullptr;
    int16_t otherHits = 0;
    int16_t shotDucks = 0;
    int16_t shotLeaves = 0;
    int16_t penalties = 0;
    int16_t shotsFired = 0;
    uint32_t lastBlinkTick = 0;
    uint8_t timeWarningGiven = 0;

  private:
    void scrollBy(int32_t dy);
    void storeStatistics();
};
