// The browser's wave output: Web Audio plays the engine's own buffers in the order
// written, each as a short source scheduled right after the one before, and a buffer
// counts as played once the audio clock has passed its end. The engine's output thread
// becomes a pump: the game's waits (web::pumpAudio) hand back what was played and let
// the engine mix the next blocks, so no thread is needed.
//
// Browsers start audio only after a gesture of the player. Until the first tap or key,
// the device plays silence against the page's own clock, at the output rate, so the
// engine's buffer cycle runs from the start exactly as it does with sound.
#include <emscripten.h>

#include "platform/platform.h"
#include "platform/web/web_page.h"

namespace platform {
namespace {

// clang-format off
EM_JS(void, tr_audio_open, (int rate, int channels), {
    const a = Module.trAudio = {
        rate: rate, channels: channels, ctx: null, paused: false,
        held: [], playing: [], next: 0, origin: performance.now(), written: 0,
    };
    const live = () => a.ctx && a.ctx.state === "running";
    a.clock = () => live() ? a.ctx.currentTime : (performance.now() - a.origin) / 1000;
    a.schedule = (ptr, bytes) => {
        const frames = Math.floor(bytes / a.channels);
        const now = a.clock();
        // A starved queue starts again a little ahead, so the first block is not cut.
        const start = Math.max(a.next, now + (live() ? 0.02 : 0));
        if (live() && frames > 0) {
            const buffer = a.ctx.createBuffer(a.channels, frames, a.rate);
            for (let c = 0; c < a.channels; c++) {
                const out = buffer.getChannelData(c);
                for (let i = 0, at = ptr + c; i < frames; i++, at += a.channels)
                    out[i] = (HEAPU8[at] - 128) / 128;
            }
            const source = a.ctx.createBufferSource();
            source.buffer = buffer;
            source.connect(a.ctx.destination);
            source.start(start);
        }
        a.next = start + frames / a.rate;
        a.written++;
        a.playing.push({ ptr: ptr, end: a.next });
    };
    a.unlock = () => {
        if (!a.ctx) {
            const Context = window.AudioContext || window.webkitAudioContext;
            if (!Context) return;
            try { a.ctx = new Context(); } catch (e) { return; }
        }
        if (a.ctx.state !== "running") {
            a.ctx.resume().then(() => {
                // What was queued against the page's clock has played (in silence).
                for (const p of a.playing) p.end = 0;
                a.next = 0;
            }, () => {});
        }
    };
});

EM_JS(void, tr_audio_write, (uint8_t* data, uint32_t bytes), {
    const a = Module.trAudio;
    if (a.paused) a.held.push([data, bytes]); else a.schedule(data, bytes);
});

EM_JS(uint8_t*, tr_audio_take_done, (), {
    const a = Module.trAudio;
    if (a.playing.length === 0 || a.playing[0].end > a.clock()) return 0;
    return a.playing.shift().ptr;
});

EM_JS(void, tr_audio_pause, (int paused), {
    const a = Module.trAudio;
    a.paused = paused !== 0;
    if (!a.paused) { for (const h of a.held) a.schedule(h[0], h[1]); a.held = []; }
});

EM_JS(void, tr_audio_reset, (), {
    const a = Module.trAudio;
    a.held = []; a.playing = []; a.next = 0;
    if (a.ctx) { a.ctx.close().catch(() => {}); a.ctx = null; }
    a.unlock = () => {};
});
// clang-format on

void (*refillEngine)(void*) = nullptr;
void* engineContext = nullptr;

class WebWaveOut : public WaveOut {
  public:
    ~WebWaveOut() override { reset(); }
    void write(uint8_t* data, uint32_t bytes) override { tr_audio_write(data, bytes); }
    uint8_t* takeDone() override { return tr_audio_take_done(); }
    void waitForDone(uint32_t timeoutMs) override { web::yieldToPage(timeoutMs); }
    void pause() override { tr_audio_pause(1); }
    void restart() override { tr_audio_pause(0); }
    void reset() override {
        refillEngine = nullptr;
        engineContext = nullptr;
        tr_audio_reset();
    }
    bool pumpsItself(void (*refill)(void*), void* context) override {
        refillEngine = refill;
        engineContext = context;
        return true;
    }
};

}  // namespace

namespace web {

void pumpAudio() {
    if (refillEngine != nullptr) refillEngine(engineContext);
}

}  // namespace web

std::unique_ptr<WaveOut> openWaveOut(const WaveFormat& format) {
    if (format.bitsPerSample != 8 || format.channels == 0 || format.channels > 2 ||
        format.rate == 0)
        return nullptr;
    tr_audio_open(static_cast<int>(format.rate), format.channels);
    return std::make_unique<WebWaveOut>();
}

}  // namespace platform
