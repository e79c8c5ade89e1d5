#include "platform/sdl/heartbeat.h"

namespace platform::desktop {

void Heartbeat::start(uint64_t periodUs, uint64_t nowUs) {
    periodUs_ = periodUs;
    nextUs_ = nowUs + periodUs;
}

bool Heartbeat::due(uint64_t nowUs) {
    if (periodUs_ == 0 || nowUs < nextUs_) return false;
    const uint64_t missed = (nowUs - nextUs_) / periodUs_;
    nextUs_ += (missed + 1) * periodUs_;
    merged_ += missed;
    ++ticks_;
    return true;
}

int64_t Heartbeat::untilNext(uint64_t nowUs) const {
    if (periodUs_ == 0) return -1;
    return nextUs_ > nowUs ? static_cast<int64_t>(nextUs_ - nowUs) : 0;
}

}  // namespace platform::desktop
