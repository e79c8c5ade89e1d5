// The game's 10 ms heartbeat, kept by the window's own thread: the message wait sleeps
// until the next tick is due instead of a timer thread posting an event, which would have
// to wake the wait through the display server a hundred times a second, even with the
// window minimised. Ticks keep their phase (a tick handed out late does not push the
// next one back), and like the handheld's timer message a tick is never doubled: when
// the game has fallen whole periods behind, the ticks it missed are merged into the one
// it gets.
#pragma once

#include <cstdint>

namespace platform::desktop {

class Heartbeat {
  public:
    // Ticks every periodUs from nowUs on (the first one period later); 0 stops it.
    void start(uint64_t periodUs, uint64_t nowUs);
    // True when a tick is due at nowUs: the game gets one tick now.
    bool due(uint64_t nowUs);
    // Microseconds until the next tick (0 when one is due), -1 when stopped.
    int64_t untilNext(uint64_t nowUs) const;
    uint64_t ticks() const { return ticks_; }
    uint64_t merged() const { return merged_; }

  private:
    uint64_t periodUs_ = 0;
    uint64_t nextUs_ = 0;
    uint64_t ticks_ = 0;
    uint64_t merged_ = 0;
};

}  // namespace platform::desktop
