// The sound engine: eight sample voices and two module players mixed in software into
// a ring of five 8-bit buffers that an output thread hands to the wave output (or,
// where the device refills itself, that it asks for on the game's thread).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/module_player.h"
#include "audio/sample_voice.h"
#include "audio/sound_request.h"
#include "platform/platform.h"

class SoundEngine {
  public:
    static constexpr uint16_t kNoVoice = 0xFFFF;
    static constexpr int kBuffers = 5;
    static constexpr int kSampleVoices = 8;
    static constexpr int kPlayers = 2;
    static constexpr uint16_t kFirstSampleVoiceId = 2;

    SoundEngine() = default;
    ~SoundEngine();
    SoundEngine(const SoundEngine&) = delete;
    SoundEngine& operator=(const SoundEngine&) = delete;

    // Opens the platform's wave output at 11025, 22050 or 44100 Hz (any other rate
    // becomes 22050), mono or stereo. False when already open or when there is no
    // device; the engine then stays closed.
    bool Open(uint32_t rate, bool stereo);
    // The same on a device the caller made (tests drive the buffer cycle with their
    // own). A null device fails like a missing one.
    bool OpenWith(std::unique_ptr<platform::WaveOut> device, uint32_t rate, bool stereo);
    // Opens without any device or output thread: the caller mixes with MixBuffer or
    // MixFrames (offline rendering, benchmarks).
    bool OpenOffline(uint32_t rate, bool stereo);
    // Stops the output thread, drops the device and the mix memory. Always true.
    bool Close();

    uint16_t StartSample(const SoundRequest& request);
    void StopVoice(uint16_t id);
    void StopAllSampleVoices();
    void SetMasterVolume(uint32_t v);

    uint16_t StartModule(const ModuleRequest& request);
    void StopModule(uint16_t id);
    void PauseModules();
    void ResumeModules();

    // Mixes one buffer (frames per buffer frames) into out, (frames << stereo) bytes.
    // Call it with the mixer lock held or while no output thread runs.
    void MixBuffer(uint8_t* out) { MixFrames(out, framesPerBuffer); }
    void MixFrames(uint8_t* out, uint32_t frames);

    // Frames per buffer and the output rate chosen for a requested rate.
    static uint32_t FramesPerBufferFor(uint32_t rate);
    static uint32_t OutputRateFor(uint32_t rate);

    bool IsOpen() const { return open != 0; }
    uint32_t Rate() const { return rate; }
    uint32_t Stereo() const { return stereo; }
    uint32_t FramesPerBuffer() const { return framesPerBuffer; }
    uint32_t BufferBytes() const { return framesPerBuffer << stereo; }
    uint32_t MasterVolume() const { return masterVolume; }
    const uint16_t* StepTable() const { return stepTable; }
    const platform::WaveFormat& Format() const { return format; }
    const uint8_t* MixMemory() const { return mixMemory.data(); }
    size_t MixMemorySize() const { return mixMemory.size(); }
    std::mutex& MixerLock() { return mixerLock; }
    const SampleVoice& SampleVoiceAt(int index) const { return voices[index]; }
    const ModulePlayer& PlayerAt(int index) const { return players[index]; }

  private:
    bool Configure(uint32_t requestedRate, bool wantStereo);
    void PrimeDevice();
    void StartOutput();
    void OutputThread();
    // Mixes every buffer the device has handed back into the next block and writes it.
    void RefillPlayed();

    std::unique_ptr<platform::WaveOut> device;
    platform::WaveFormat format;
    std::thread outputThread;
    std::mutex mixerLock;
    std::atomic<bool> stopRequested{false};
    uint8_t open = 0;
    uint32_t rate = 22050;
    ModulePlayer players[kPlayers];
    SampleVoice voices[kSampleVoices];
    const uint16_t* stepTable = nullptr;
    std::vector<uint8_t> mixMemory;
    uint32_t framesPerBuffer = 0;
    uint8_t* filling = nullptr;  // the buffer the output thread is mixing into
    uint32_t stereo = 0;
    uint32_t masterVolume = 64;
};
