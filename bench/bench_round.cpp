// A whole 180-second round on the headless backend with steady shooting: how many
// times faster than real time the round's logic and drawing run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "audio/game_sound.h"
#include "game/game.h"
#include "game/round_clock.h"
#include "game/shell_magazine.h"
#include "graphics/animation_list.h"
#include "graphics/surface.h"
#include "persist/settings.h"
#include "platform/headless/headless.h"
#include "shell/app_context.h"
#include "shell/view_manager.h"

static void BM_WholeRound(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "tallreed-bench-round";
    std::filesystem::create_directories(dir);
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
    headless::reset(1000000);
    GameSound sound;
    Settings settings(&sound);
    settings.specialEffects = 1;
    ViewManager views;
    AnimationList list;
    setAnimationList(&list);
    auto surface = std::make_unique<SceneSurface>(1, 3, 240, 320);
    surface->loadTiles([](int, int row) { return 148 - row; });
    list.surface = surface.get();
    Game game;
    game.surface = surface.get();
    appContext().sound = &sound;
    appContext().settings = &settings;
    appContext().viewManager = &views;
    appContext().game = &game;

    double gameMs = 0;
    double wallMs = 0;
    for (auto _ : state) {
        views.currentId = 1;
        const uint32_t start = headless::now();
        const auto wallStart = std::chrono::steady_clock::now();
        game.StartRound();
        int frame = 0;
        while (true) {
            headless::setNow(headless::now() + 10);
            InputEvent e;
            if (frame % 20 == 0) {
                e.type = EV_PEN_DOWN;
                e.x = static_cast<int16_t>(20 + (frame * 7) % 180);
                e.y = static_cast<int16_t>(30 + (frame * 13) % 260);
                if (shellMagazine.shells == 0) e.x = 220, e.y = 80;  // tap the magazine
            }
            ++frame;
            if (game.ProcessEvent(e) == 0) animationStep();
            if (roundClock.secondsLeft == 0) break;
        }
        game.EndRound();
        wallMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart)
                .count();
        gameMs += headless::now() - start;
    }
    state.counters["game_per_wall"] = wallMs > 0 ? gameMs / wallMs : 0;
    game.surface = nullptr;
    list.clear();
    list.surface = nullptr;
    setAnimationList(nullptr);
    appContext() = AppContext{};
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_WholeRound)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
