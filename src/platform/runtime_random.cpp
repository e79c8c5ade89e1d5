// The runtime's seedable pseudo-random function. Our own, so that a run is the same on
// every machine and in both backends.
#include <atomic>

#include "platform/platform.h"

namespace platform {
namespace {
std::atomic<uint32_t> state{1};
}

void seedRandom(uint32_t seed) { state.store(seed); }

int nextRandom() {
    uint32_t s = state.load() * 214013u + 2531011u;
    state.store(s);
    return static_cast<int>((s >> 16) & 0x7FFF);
}

}  // namespace platform
