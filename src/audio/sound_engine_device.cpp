// Opening the platform's wave output is kept apart from the mixer so that programs that
// only render offline do not need a wave device at all.
#include "audio/sound_engine.h"

bool SoundEngine::Open(uint32_t r, bool st) {
    if (open) return false;
    platform::WaveFormat f;
    f.rate = OutputRateFor(r);
    f.channels = static_cast<uint16_t>(st ? 2 : 1);
    f.bitsPerSample = 8;
    std::unique_ptr<platform::WaveOut> dev = platform::openWaveOut(f);
    if (!dev) return false;
    Configure(r, st);
    device = std::move(dev);
    PrimeDevice();
    // Give the device a moment with its five buffers before the thread starts refilling.
    if (const uint32_t delay = device->startDelayMs(); delay > 0) platform::sleepMs(delay);
    StartOutput();
    return true;
}
