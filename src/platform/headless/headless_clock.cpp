// The headless backend's virtual clock and message queue.
//
// Time only moves when the program waits: getMessage() jumps to the next queued message
// or timer tick, sleepMs() jumps by its argument. Internally the clock is a 64-bit count
// so that ordering survives the 32-bit tick count wrapping around.
#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "platform/headless/clock_hooks.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace headless {
namespace {

struct Queued {
    uint64_t at;
    uint64_t seq;  // keeps messages of the same moment in the order they were queued
    bool quit;
    platform::Message msg;
};

struct Clock {
    std::mutex lock;
    std::atomic<uint64_t> now{1000000};
    std::vector<Queued> queue;  // unsorted; small enough to scan
    uint64_t seq = 0;
    uint32_t timerPeriod = 0;
    uint64_t timerOrigin = 0;
    uint64_t nextTimer = 0;
    uint64_t idleLimit = 0;  // 0 = none
    bool quitDelivered = false;
    std::function<bool(const platform::Message&)> filter;
};

Clock& clock() {
    static Clock c;
    return c;
}

// Virtual time of a 32-bit tick, taken as the nearest moment to the current time (so a
// tick just past the wrap means "soon", not "49 days ago").
uint64_t widen(uint32_t tick, uint64_t now) {
    const int32_t delta = static_cast<int32_t>(tick - static_cast<uint32_t>(now));
    const int64_t wide = static_cast<int64_t>(now) + delta;
    return wide < 0 ? 0 : static_cast<uint64_t>(wide);
}

void advanceTo(uint64_t to) {
    Clock& c = clock();
    const uint64_t from = c.now.load();
    if (to <= from) return;
    c.now.store(to);
    detail::onClockAdvanced(from, to);
}

// Index of the earliest queued entry, or -1.
int earliest(const Clock& c) {
    int best = -1;
    for (size_t i = 0; i < c.queue.size(); ++i) {
        const Queued& q = c.queue[i];
        if (best < 0 || q.at < c.queue[best].at ||
            (q.at == c.queue[best].at && q.seq < c.queue[best].seq))
            best = static_cast<int>(i);
    }
    return best;
}

void queue(const platform::Message& msg, uint64_t at, bool quit) {
    Clock& c = clock();
    std::lock_guard<std::mutex> guard(c.lock);
    c.queue.push_back(Queued{at, c.seq++, quit, msg});
}

}  // namespace

void reset(uint32_t startTick) {
    Clock& c = clock();
    {
        std::lock_guard<std::mutex> guard(c.lock);
        c.now.store(startTick);
        c.queue.clear();
        c.seq = 0;
        c.timerPeriod = 0;
        c.timerOrigin = 0;
        c.nextTimer = 0;
        c.idleLimit = 0;
        c.quitDelivered = false;
        c.filter = nullptr;
    }
    detail::resetWindow();
    detail::resetAudio();
}

void postMessage(const platform::Message& msg, uint32_t at) {
    queue(msg, widen(at, clock().now.load()), false);
}

void postMessage(const platform::Message& msg) {
    queue(msg, clock().now.load(), false);
}

void postQuit() {
    queue(platform::Message{}, clock().now.load(), true);
}

void postQuit(uint32_t at) {
    queue(platform::Message{}, widen(at, clock().now.load()), true);
}

void setMessageFilter(std::function<bool(const platform::Message&)> filter) {
    Clock& c = clock();
    std::lock_guard<std::mutex> guard(c.lock);
    c.filter = std::move(filter);
}

uint32_t now() {
    return static_cast<uint32_t>(clock().now.load());
}

void setNow(uint32_t tick) {
    Clock& c = clock();
    const uint64_t target = widen(tick, c.now.load());
    if (target > c.now.load())
        advanceTo(target);
    else
        c.now.store(target);  // going back in time plays nothing
}

void setIdleLimit(uint32_t tick) {
    Clock& c = clock();
    std::lock_guard<std::mutex> guard(c.lock);
    c.idleLimit = tick == 0 ? 0 : widen(tick, c.now.load());
}

uint32_t timerPeriod() {
    return clock().timerPeriod;
}

namespace detail {
uint64_t nowWide() {
    return clock().now.load();
}
}  // namespace detail

}  // namespace headless

namespace platform {

using headless::clock;

bool getMessage(Message& out) {
    auto& c = clock();
    for (;;) {
        std::unique_lock<std::mutex> guard(c.lock);
        if (c.quitDelivered) return false;
        const uint64_t now = c.now.load();
        const int first = headless::earliest(c);
        const bool messageDue = first >= 0 && c.queue[first].at <= now;
        if (messageDue) {
            headless::Queued q = c.queue[first];
            c.queue.erase(c.queue.begin() + first);
            if (q.quit) {
                c.quitDelivered = true;
                return false;
            }
            auto filter = c.filter;
            guard.unlock();
            if (filter && filter(q.msg)) continue;
            out = q.msg;
            return true;
        }
        if (c.timerPeriod != 0 && c.nextTimer <= now) {
            // A late timer is reported once, like a coalesced timer message, and the
            // next one stays on its grid.
            const uint64_t periods = (now - c.timerOrigin) / c.timerPeriod + 1;
            c.nextTimer = c.timerOrigin + periods * c.timerPeriod;
            out = Message{MSG_TIMER, 15000, 0};
            return true;
        }
        // Nothing due: jump to whatever comes next.
        uint64_t next = UINT64_MAX;
        if (first >= 0) next = c.queue[first].at;
        if (c.timerPeriod != 0) next = std::min(next, c.nextTimer);
        if (next == UINT64_MAX) return false;  // nothing can ever arrive: don't hang
        if (c.idleLimit != 0 && next >= c.idleLimit) {
            guard.unlock();
            headless::advanceTo(c.idleLimit);
            return false;
        }
        guard.unlock();
        headless::advanceTo(next);
    }
}

bool startTimer(uint32_t periodMs) {
    if (periodMs == 0) return false;
    auto& c = clock();
    std::lock_guard<std::mutex> guard(c.lock);
    c.timerPeriod = periodMs;
    c.timerOrigin = c.now.load();
    c.nextTimer = c.timerOrigin + periodMs;
    return true;
}

uint32_t tickCount() {
    return headless::now();
}

void sleepMs(uint32_t ms) {
    headless::advanceTo(clock().now.load() + ms);
}

}  // namespace platform
