// The desktop wave output: an SDL audio device in the engine's own format. The engine's
// buffers are queued in order; SDL's audio callback copies them out and, once a buffer
// has been copied completely, hands it back as played. When the queue runs dry the
// device plays silence.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>

#include "platform/platform.h"

namespace {

class SdlWaveOut : public platform::WaveOut {
  public:
    SdlWaveOut() = default;
    ~SdlWaveOut() override {
        if (device_ != 0) SDL_CloseAudioDevice(device_);
        if (subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool Open(const platform::WaveFormat& format) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        subsystem_ = true;
        SDL_AudioSpec want{};
        want.freq = static_cast<int>(format.rate);
        want.format = AUDIO_U8;
        want.channels = static_cast<Uint8>(format.channels);
        // About one engine buffer per callback keeps the latency near the handheld's.
        want.samples = 512;
        want.callback = &SdlWaveOut::Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        // No changes allowed: SDL converts to whatever the hardware wants.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ == 0) return false;
        silence_ = have.silence;
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    void write(uint8_t* data, uint32_t bytes) override {
        std::lock_guard<std::mutex> guard(lock_);
        queue_.push_back(Buffer{data, bytes, 0});
    }

    uint8_t* takeDone() override {
        std::lock_guard<std::mutex> guard(lock_);
        if (done_.empty()) return nullptr;
        uint8_t* d = done_.front();
        done_.pop_front();
        return d;
    }

    // Buffers come back only when SDL asks for sound (every 512 frames, about 23 ms), so
    // the engine's short poll would mostly wake its thread for nothing. The wait lasts
    // until a buffer is back or SDL has asked once more, whichever is first: the engine
    // still sees a stop request within one of SDL's calls, and should the device stop
    // calling, the thread still comes round every kLongestWaitMs.
    void waitForDone(uint32_t timeoutMs) override {
        std::unique_lock<std::mutex> guard(lock_);
        const uint64_t calls = calls_;
        doneChanged_.wait_for(guard, std::chrono::milliseconds(std::max(timeoutMs, kLongestWaitMs)),
                              [this, calls] { return !done_.empty() || calls_ != calls; });
    }

    // SDL's device runs as soon as it is open; it needs no moment to settle.
    uint32_t startDelayMs() const override { return 0; }

    void pause() override {
        std::lock_guard<std::mutex> guard(lock_);
        paused_ = true;
    }

    void restart() override {
        std::lock_guard<std::mutex> guard(lock_);
        paused_ = false;
    }

    void reset() override {
        std::lock_guard<std::mutex> guard(lock_);
        queue_.clear();
    }

  private:
    struct Buffer {
        uint8_t* data;
        uint32_t bytes;
        uint32_t offset;
    };

    static void SDLCALL Callback(void* self, Uint8* stream, int len) {
        static_cast<SdlWaveOut*>(self)->Fill(stream, static_cast<uint32_t>(len));
    }

    void Fill(uint8_t* stream, uint32_t len) {
        {
            std::lock_guard<std::mutex> guard(lock_);
            ++calls_;
            uint32_t at = 0;
            while (!paused_ && at < len && !queue_.empty()) {
                Buffer& b = queue_.front();
                const uint32_t n = std::min(len - at, b.bytes - b.offset);
                std::memcpy(stream + at, b.data + b.offset, n);
                at += n;
                b.offset += n;
                if (b.offset >= b.bytes) {
                    done_.push_back(b.data);
                    queue_.pop_front();
                }
            }
            // Starved or paused: silence for the rest.
            if (at < len) std::memset(stream + at, silence_, len - at);
        }
        doneChanged_.notify_all();
    }

    static constexpr uint32_t kLongestWaitMs = 50;

    SDL_AudioDeviceID device_ = 0;
    bool subsystem_ = false;
    uint8_t silence_ = 128;
    std::mutex lock_;
    std::condition_variable doneChanged_;
    std::deque<Buffer> queue_;
    std::deque<uint8_t*> done_;
    bool paused_ = false;
    uint64_t calls_ = 0;  // how often SDL has asked for sound
};

}  // namespace

namespace platform {

std::unique_ptr<WaveOut> openWaveOut(const WaveFormat& format) {
    if (format.bitsPerSample != 8 || format.channels == 0 || format.channels > 2 ||
        format.rate == 0)
        return nullptr;
    auto out = std::make_unique<SdlWaveOut>();
    if (!out->Open(format)) return nullptr;
    return out;
}

}  // namespace platform
