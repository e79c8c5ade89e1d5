// A running round on the virtual clock with real settings in a fresh store: the game
// object, its actors, and one frame of the whole program for tests that switch views.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "game/duck_flock.h"
#include "game/game.h"
#include "game/leaf_field.h"
#include "persist/settings.h"
#include "round_fixture.h"
#include "shell/view_ids.h"

class GameRoundFixture : public RoundFixture {
  protected:
    void SetUp() override {
        RoundFixture::SetUp();
        storeDir = std::filesystem::temp_directory_path() /
                   ("tallreed-game-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(storeDir);
        setenv("XDG_DATA_HOME", storeDir.c_str(), 1);
        settings = std::make_unique<Settings>(sound.get());
        settings->specialEffects = 1;
        settings->menuAnimation = 0;
        appContext().settings = settings.get();
        appContext().game = &game;
        game.surface = surface.get();
        restart(1, 1);  // seeds that bring no new ducks or items unless a test asks for them
    }
    void TearDown() override {
        game.EndRound();
        game.surface = nullptr;
        settings.reset();
        RoundFixture::TearDown();
        std::filesystem::remove_all(storeDir);
    }
    void restart(int32_t duckSeed, int32_t leafSeed) {
        views.currentId = VIEW_GAME;
        game.StartRound();
        duckFlock.rng = Random(duckSeed);
        leafField.rng = Random(leafSeed);
    }
    int step(InputEvent e = {}, int times = 1) {
        int answer = 0;
        every(10, times, [&] { answer = game.ProcessEvent(e); });
        return answer;
    }
    // One frame of the whole program, 10 ms after the last: the current view, then the
    // round, then the animation step, each only when the one before answered 0.
    int frame(InputEvent e = {}) {
        advance(10);
        int answer = views.Dispatch(e);
        if (answer == 0) answer = game.ProcessEvent(e);
        if (answer == 0) animationStep();
        return answer;
    }
    // Pen down and up at one place, and a frame for any view switch the tap asked for.
    void tap(int x, int y) {
        frame(penDown(x, y));
        InputEvent up = penDown(x, y);
        up.type = EV_PEN_UP;
        frame(up);
        frame();
    }
    // A pathless duck at a scene position, shot at once.
    void shootDuckAt(int x, int y) {
        duckFlock.ducks[duckFlock.duckCount++] = mover(DUCK_BIG_DOWN, x, y, 130);
        tap(x + 5, y - surface->scrollY() + 5);
    }

    Game game;
    std::unique_ptr<Settings> settings;
    std::filesystem::path storeDir;
};
