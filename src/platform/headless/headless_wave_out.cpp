// The headless wave output: buffers are "played" by the virtual clock.
//
// Every time virtual time moves on, each queued buffer whose playing time has ended is
// handed back, in order. After each hand-back the clock waits until the sound engine has
// written a buffer again, so that every block the engine mixes sees the game exactly as
// it was at that moment of virtual time, and two runs of the same script produce the
// same bytes. The wait has a generous real-time limit so that an engine that stopped
// refilling cannot hang the program.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/headless/clock_hooks.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace headless {
namespace {

constexpr auto kRefillTimeout = std::chrono::seconds(2);

class HeadlessWaveOut;

struct Audio {
    std::mutex lock;  // guards the fields below and the device list
    std::vector<HeadlessWaveOut*> devices;
    bool available = true;
    bool capturing = false;
    std::vector<uint8_t> captured;
    platform::WaveFormat format;
};

Audio& audio() {
    static Audio a;
    return a;
}

class HeadlessWaveOut : public platform::WaveOut {
  public:
    explicit HeadlessWaveOut(const platform::WaveFormat& format) : format_(format) {
        bytesPerFrame_ = std::max<uint32_t>(1, format.channels * ((format.bitsPerSample + 7) / 8));
        base_ = detail::nowWide();
        Audio& a = audio();
        std::lock_guard<std::mutex> guard(a.lock);
        a.devices.push_back(this);
        a.format = format;
    }

    ~HeadlessWaveOut() override {
        {
            Audio& a = audio();
            std::lock_guard<std::mutex> guard(a.lock);
            std::erase(a.devices, this);
        }
        std::lock_guard<std::mutex> guard(lock_);
        closed_ = true;
        changed_.notify_all();
    }

    void write(uint8_t* data, uint32_t bytes) override {
        std::lock_guard<std::mutex> guard(lock_);
        if (queue_.empty()) {
            // The device ran dry (or never ran): playing starts again from now.
            const uint64_t now = detail::nowWide();
            if (playedEndMs() < now) {
                base_ = now;
                played_ = 0;
            }
        }
        queue_.push_back(Buffer{data, bytes});
        ++writes_;
        unresponsive_ = false;
        changed_.notify_all();
    }

    uint8_t* takeDone() override {
        std::lock_guard<std::mutex> guard(lock_);
        if (done_.empty()) return nullptr;
        uint8_t* d = done_.front();
        done_.pop_front();
        return d;
    }

    void waitForDone(uint32_t timeoutMs) override {
        std::unique_lock<std::mutex> guard(lock_);
        changed_.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                          [this] { return !done_.empty() || closed_; });
    }

    void pause() override {
        std::lock_guard<std::mutex> guard(lock_);
        paused_ = true;
    }

    void restart() override {
        std::lock_guard<std::mutex> guard(lock_);
        if (!paused_) return;
        paused_ = false;
        base_ = detail::nowWide();
        played_ = 0;
    }

    void reset() override {
        std::lock_guard<std::mutex> guard(lock_);
        queue_.clear();
        ++resets_;
        changed_.notify_all();
    }

    // Plays everything that has ended by virtual time `to`.
    void advance(uint64_t to, Audio& a) {
        std::unique_lock<std::mutex> guard(lock_);
        while (!paused_ && !closed_ && !queue_.empty()) {
            const Buffer head = queue_.front();
            const uint64_t frames = head.bytes / bytesPerFrame_;
            // The buffer has ended when (played + frames) / rate seconds have passed.
            if ((played_ + frames) * 1000 > (to - base_) * format_.rate) break;
            queue_.pop_front();
            played_ += frames;
            if (a.capturing) a.captured.insert(a.captured.end(), head.data, head.data + head.bytes);
            done_.push_back(head.data);
            changed_.notify_all();
            if (unresponsive_) continue;
            const uint64_t writes = writes_, resets = resets_;
            const bool refilled = changed_.wait_for(guard, kRefillTimeout, [&] {
                return writes_ != writes || resets_ != resets || closed_;
            });
            if (!refilled) unresponsive_ = true;  // stop waiting until it writes again
        }
    }

  private:
    struct Buffer {
        uint8_t* data;
        uint32_t bytes;
    };

    uint64_t playedEndMs() const { return base_ + played_ * 1000 / format_.rate; }

    platform::WaveFormat format_;
    uint32_t bytesPerFrame_ = 1;
    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<Buffer> queue_;
    std::deque<uint8_t*> done_;
    uint64_t base_ = 0;    // virtual ms when playing (re)started
    uint64_t played_ = 0;  // frames handed back since base_
    uint64_t writes_ = 0;
    uint64_t resets_ = 0;
    bool paused_ = false;
    bool closed_ = false;
    bool unresponsive_ = false;
};

}  // namespace

void captureAudio(bool on) {
    Audio& a = audio();
    std::lock_guard<std::mutex> guard(a.lock);
    a.capturing = on;
}

const std::vector<uint8_t>& capturedAudio() {
    return audio().captured;
}

platform::WaveFormat capturedAudioFormat() {
    Audio& a = audio();
    std::lock_guard<std::mutex> guard(a.lock);
    return a.format;
}

void setAudioAvailable(bool available) {
    Audio& a = audio();
    std::lock_guard<std::mutex> guard(a.lock);
    a.available = available;
}

namespace detail {

void onClockAdvanced(uint64_t /*from*/, uint64_t to) {
    Audio& a = audio();
    std::lock_guard<std::mutex> guard(a.lock);
    for (HeadlessWaveOut* d : a.devices) d->advance(to, a);
}

void resetAudio() {
    Audio& a = audio();
    std::lock_guard<std::mutex> guard(a.lock);
    a.captured.clear();
    a.capturing = false;
    a.available = true;
    a.format = platform::WaveFormat{};
}

}  // namespace detail
}  // namespace headless

namespace platform {

std::unique_ptr<WaveOut> openWaveOut(const WaveFormat& format) {
    {
        headless::Audio& a = headless::audio();
        std::lock_guard<std::mutex> guard(a.lock);
        if (!a.available) return nullptr;
    }
    if (format.rate == 0 || format.channels == 0 || format.bitsPerSample != 8) return nullptr;
    return std::make_unique<headless::HeadlessWaveOut>(format);
}

}  // namespace platform
