// The floor of the desktop window's cost: a bare SDL window of the game's size with a
// 10 ms timer event from SDL's timer, the way a plain SDL program keeps its heartbeat,
// and nothing drawn. bench/window_cpu.py measures it beside the game in the same run, so
// the game's figures can be read against what any SDL program with such a heartbeat
// costs on the machine.
#include <SDL.h>

#include <atomic>
#include <cstdio>

namespace {

uint32_t timerEvent = 0;
std::atomic<bool> timerPending{false};

// The same rule as the game's timer: a tick that is still waiting is not doubled.
uint32_t onTimer(uint32_t interval, void* /*param*/) {
    if (!timerPending.exchange(true)) {
        SDL_Event ev{};
        ev.type = timerEvent;
        SDL_PushEvent(&ev);
    }
    return interval;
}

}  // namespace

int main(int /*argc*/, char** /*argv*/) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "window_floor: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("Tallreed floor", SDL_WINDOWPOS_CENTERED,
                                          SDL_WINDOWPOS_CENTERED, 960, 720, SDL_WINDOW_RESIZABLE);
    timerEvent = SDL_RegisterEvents(1);
    if (window == nullptr || timerEvent == static_cast<uint32_t>(-1) ||
        SDL_AddTimer(10, onTimer, nullptr) == 0) {
        std::fprintf(stderr, "window_floor: %s\n", SDL_GetError());
        return 1;
    }
    unsigned long ticks = 0;
    SDL_Event ev;
    while (SDL_WaitEvent(&ev) != 0 && ev.type != SDL_QUIT) {
        if (ev.type == timerEvent) {
            timerPending = false;
            ++ticks;
        }
    }
    std::printf("window_floor: %lu timer ticks\n", ticks);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
