#include "audio/sound_engine.h"

#include <algorithm>

#include "audio/mix_kernels.h"
#include "audio/step_tables.h"

SoundEngine::~SoundEngine() {
    Close();
}

uint32_t SoundEngine::OutputRateFor(uint32_t r) {
    return (r == 11025 || r == 22050 || r == 44100) ? r : 22050;
}

uint32_t SoundEngine::FramesPerBufferFor(uint32_t r) {
    switch (OutputRateFor(r)) {
        case 11025:
            return 298;
        case 44100:
            return 1176;
        default:
            return 588;
    }
}

bool SoundEngine::Configure(uint32_t requestedRate, bool wantStereo) {
    framesPerBuffer = FramesPerBufferFor(requestedRate);
    rate = OutputRateFor(requestedRate);
    stepTable = StepTableForRate(rate);
    stereo = wantStereo ? 1 : 0;
    masterVolume = 64;
    mixMemory.assign(static_cast<size_t>(kBuffers) * (framesPerBuffer << stereo), 128);
    format.rate = rate;
    format.channels = static_cast<uint16_t>(1u << stereo);
    format.bitsPerSample = 8;
    filling = nullptr;
    return true;
}

void SoundEngine::PrimeDevice() {
    // Five short writes of silence: they come back at once and the output thread then
    // refills each at full length, which starts the cycle of five buffers.
    device->pause();
    for (int i = 0; i < kBuffers; ++i) device->write(mixMemory.data() + i * BufferBytes(), 8);
}

void SoundEngine::StartOutput() {
    stopRequested = false;
    // A device that refills itself needs no thread: it calls RefillPlayed when it can.
    auto refill = [](void* engine) { static_cast<SoundEngine*>(engine)->RefillPlayed(); };
    if (!device->pumpsItself(refill, this))
        outputThread = std::thread(&SoundEngine::OutputThread, this);
    device->restart();
    open = 1;
}

bool SoundEngine::OpenWith(std::unique_ptr<platform::WaveOut> dev, uint32_t r, bool st) {
    if (open) return false;
    if (!dev) return false;
    Configure(r, st);
    device = std::move(dev);
    PrimeDevice();
    StartOutput();
    return true;
}

bool SoundEngine::OpenOffline(uint32_t r, bool st) {
    if (open) return false;
    Configure(r, st);
    open = 1;
    return true;
}

bool SoundEngine::Close() {
    if (!open) return true;
    // Handshake: ask the thread to stop and wait until it has left its loop; only then
    // may the device and the memory it mixes into go away.
    stopRequested = true;
    if (outputThread.joinable()) outputThread.join();
    if (device) {
        device->reset();
        device.reset();
    }
    mixMemory.clear();
    mixMemory.shrink_to_fit();
    filling = nullptr;
    open = 0;
    return true;
}

void SoundEngine::OutputThread() {
    while (!stopRequested) {
        device->waitForDone(5);
        if (stopRequested) break;
        RefillPlayed();
    }
}

void SoundEngine::RefillPlayed() {
    const uint32_t bytes = BufferBytes();
    while (uint8_t* done = device->takeDone()) {
        filling = done;
        {
            std::lock_guard<std::mutex> lock(mixerLock);
            MixBuffer(filling);
        }
        device->write(filling, bytes);
    }
}

uint16_t SoundEngine::StartSample(const SoundRequest& request) {
    if (!open || !request.data) return kNoVoice;
    std::lock_guard<std::mutex> lock(mixerLock);
    int index = -1;
    for (int i = 0; i < kSampleVoices; ++i) {
        if (voices[i].Free()) {
            index = i;
            break;
        }
    }
    if (index < 0) return kNoVoice;
    SampleVoice& v = voices[index];
    v.data = request.data;
    // Kept in 64 bits so an odd rate cannot overflow; a step is at most 255 bytes a frame.
    const uint64_t step = (static_cast<uint64_t>(request.rate) << 16) / (rate << 8);
    v.step = static_cast<uint32_t>(std::min<uint64_t>(step, 0xFFFF));
    v.position = 0;
    v.end = std::min<uint32_t>(request.length, 0xFFFFFF) << 8;
    v.loop = request.loop;
    v.masterVolume = masterVolume;
    v.SetVolume(request.volume);
    v.Start();
    return static_cast<uint16_t>(index + kFirstSampleVoiceId);
}

void SoundEngine::StopVoice(uint16_t id) {
    if (!open) return;
    if (id < kFirstSampleVoiceId || id >= kFirstSampleVoiceId + kSampleVoices) return;
    std::lock_guard<std::mutex> lock(mixerLock);
    voices[id - kFirstSampleVoiceId].Stop();
}

void SoundEngine::StopAllSampleVoices() {
    for (int i = 0; i < kSampleVoices; ++i)
        StopVoice(static_cast<uint16_t>(i + kFirstSampleVoiceId));
}

void SoundEngine::SetMasterVolume(uint32_t v) {
    std::lock_guard<std::mutex> lock(mixerLock);
    masterVolume = std::min<uint32_t>(v, 64);
    for (ModulePlayer& p : players) {
        p.masterVolume = masterVolume;
        p.SetVolume(p.volume);
    }
    for (SampleVoice& s : voices) {
        s.masterVolume = masterVolume;
        s.SetVolume(s.volume);
    }
}

uint16_t SoundEngine::StartModule(const ModuleRequest& request) {
    if (!open || !request.data) return kNoVoice;
    std::lock_guard<std::mutex> lock(mixerLock);
    for (int i = 0; i < kPlayers; ++i) {
        if (!players[i].Free()) continue;
        if (!players[i].StartModule(request, stepTable, rate, masterVolume)) return kNoVoice;
        return static_cast<uint16_t>(i);
    }
    return kNoVoice;
}

void SoundEngine::StopModule(uint16_t id) {
    if (!open || id >= kPlayers) return;
    std::lock_guard<std::mutex> lock(mixerLock);
    players[id].Stop();
}

void SoundEngine::PauseModules() {
    if (!open) return;
    std::lock_guard<std::mutex> lock(mixerLock);
    for (ModulePlayer& p : players) p.Pause();
}

void SoundEngine::ResumeModules() {
    if (!open) return;
    std::lock_guard<std::mutex> lock(mixerLock);
    for (ModulePlayer& p : players) p.Resume();
}

namespace {

// Frames mixed per pass into the accumulators on the stack.
constexpr uint32_t kChunk = 1024;

// One sample voice over `frames` frames, frame by frame as the rule goes: a looped voice
// past its end goes on at position - end, any other stops (and adds nothing). Writes
// the signed sample values (byte - 128) to out, 0 once stopped.
void GatherVoice(SampleVoice& v, int8_t* out, uint32_t frames) {
    const int8_t* data = reinterpret_cast<const int8_t*>(v.data);
    const uint32_t step = v.step;
    const uint32_t end = v.end;
    // Bytes 0..length are played, so length + 1 of them exist.
    const uint32_t readable = (end >> 8) + 1;
    uint32_t pos = v.position;
    uint32_t f = 0;
    while (f < frames) {
        if (pos > end) {
            if (v.loop) pos -= end;
            if (pos > end) {
                v.Stop();
                break;
            }
        }
        // Every position up to the end plays; no check is needed before then.
        uint32_t run = frames - f;
        if (step != 0) run = std::min<uint32_t>(run, (end - pos) / step + 1);
        mixk::GatherBytes(data, readable, pos, step, run, out + f);
        pos += run * step;
        f += run;
    }
    // Unsigned bytes to signed values: flipping the top bit subtracts 128.
    mixk::FlipTopBits(out, f);
    std::fill(out + f, out + frames + 16, 0);
    v.position = pos;
}

}  // namespace

void SoundEngine::MixFrames(uint8_t* out, uint32_t frames) {
    const bool st = stereo != 0;
    // Room past the chunk for the players' whole blocks of 16.
    alignas(32) int32_t left[kChunk + 16];
    alignas(32) int32_t right[kChunk + 16];
    alignas(16) int8_t gathered[4][kChunk + 16];
    int16_t volumes[4];
    const int8_t* g[4];
    auto AddVoices = [&](int count, uint32_t n, bool st, int32_t* l, int32_t* r) {
        for (int k = 0; k < 4; ++k) g[k] = gathered[k];
        if (st) {
            // Silent places fill the four; whole blocks of 16 (the tails are silent).
            for (int k = count; k < 4; ++k) {
                std::fill(gathered[k], gathered[k] + n + 16, 0);
                volumes[k] = 0;
            }
            mixk::AddTracksStereo(g, volumes, volumes, 4, l, r, (n + 15) & ~15u);
        } else {
            mixk::AddTracks(g, volumes, count, l, n);
        }
    };
    while (frames > 0) {
        const uint32_t n = std::min(frames, kChunk);
        std::fill(left, left + n + 16, 0);
        if (st) std::fill(right, right + n + 16, 0);
        for (ModulePlayer& p : players) {
            if (p.Plays()) p.MixSpan(left, right, n, st);
        }
        // Sample voices four at a time, added like the tracks of a module.
        int active = 0;
        for (SampleVoice& v : voices) {
            if (!v.Plays()) continue;
            volumes[active] = static_cast<int16_t>(v.effectiveVolume);
            GatherVoice(v, gathered[active], n);
            if (++active == 4) {
                AddVoices(4, n, st, left, right);
                active = 0;
            }
        }
        if (active > 0) AddVoices(active, n, st, left, right);
        if (st) {
            mixk::ToStereoBytes(left, right, out, n);
            out += 2 * n;
        } else {
            mixk::ToMonoBytes(left, out, n);
            out += n;
        }
        frames -= n;
    }
}
