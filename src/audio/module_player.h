// Plays a four-track, 31-instrument pattern module from memory, one output frame at a
// time, driven by the engine's mixer. Also the request that starts one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "audio/voice.h"

struct ModuleRequest {
    ModuleRequest() = default;
    ~ModuleRequest();
    ModuleRequest(const ModuleRequest&) = delete;
    ModuleRequest& operator=(const ModuleRequest&) = delete;

    const uint8_t* data = nullptr;  // null: nothing loaded
    size_t size = 0;                // bytes available at data
    uint32_t volume = 64;
    uint8_t loop = 0;
    uint8_t ownsData = 0;  // memory from new[] that the request frees; never resource bytes
};

// Points the request at the "MUSIC" resource with this id; false when it is missing.
bool LoadModuleResource(int id, ModuleRequest& request);

class ModulePlayer : public Voice {
  public:
    static constexpr uint32_t kNoJump = 0xFFFFFF;
    static constexpr int32_t kDelayDone = 0xFFFFFF;
    static constexpr size_t kHeaderSize = 1084;
    static constexpr size_t kPatternSize = 1024;

    struct Instrument {
        uint32_t length = 0;      // bytes << 8
        uint32_t loopStart = 0;   // bytes << 8
        uint32_t loopLength = 0;  // bytes << 8, 0 = no loop
        uint8_t volume = 0;
        uint8_t finetune = 0;
        const int8_t* data = nullptr;
        uint32_t available = 0;  // bytes really present in the module at data
        uint32_t readable = 0;   // bytes from data to the end of the module
    };

    struct Track {
        int32_t period = 0;
        uint32_t instrument = 0;
        uint32_t step = 0;
        int32_t volume = 0;
        int32_t effectiveVolume = 0;
        uint8_t effect = 0, x = 0, y = 0, parameter = 0;
        uint32_t position = 0;
        uint32_t pan = 0;
        int32_t slide = 0;
        int32_t slidePeriod = 0;
        int32_t portaTarget = 0;
        int32_t portaSpeed = 0;
        uint32_t arpCounter = 0;
        uint32_t arpSteps[3] = {0, 0, 0};
        uint32_t vibratoPosition = 0;
        uint32_t vibratoSpeed = 9;
        uint32_t vibratoDepth = 2;
        int32_t delayCounter = 0;
        int32_t delayedPeriod = 0;
        int32_t cutCounter = 0;
    };

    // True when the bytes hold a whole header, order table and every pattern the song
    // plays. Sample bytes past the end are tolerated (those instruments play shorter).
    static bool Acceptable(std::span<const uint8_t> module);

    // Sets the player up for the module and starts it. False (and nothing changed) when
    // the module is not acceptable.
    bool StartModule(const ModuleRequest& request, const uint16_t* stepTable, uint32_t rate,
                     uint32_t master);

    // Voice volume, then every track's effective volume from it.
    void SetVolume(uint32_t v) override;

    // Plays `frames` output frames into the left and right accumulators (right unused in
    // mono): for every frame the sequencer step, then the four tracks. Stretches between
    // sequencer events are mixed in one go. Both accumulators need room for 16 entries
    // past `frames` (zeros are added there).
    void MixSpan(int32_t* left, int32_t* right, uint32_t frames, bool stereo);

    // State, readable by tests and tools.
    const uint8_t* module = nullptr;
    size_t moduleSize = 0;
    const uint8_t* patterns = nullptr;
    uint32_t patternCount = 0;
    uint32_t songLength = 1;  // order positions used, 1..128
    uint32_t pattern = 0;
    uint32_t rowOffset = 0;  // row x 4
    uint32_t position = 0;
    uint32_t restartPosition = 0;
    uint32_t outputRate = 22050;
    uint32_t framesPerTick = 441;
    uint32_t frameCounter = 0;
    uint32_t speed = 6;
    uint32_t tickCounter = 6;
    uint32_t jump = kNoJump;
    uint32_t breakRowOffset = 0;
    uint32_t patternDelay = 0;
    Instrument instruments[32];
    Track tracks[4];
    const uint16_t* steps = nullptr;

  private:
    void Sequence();
    void MixTracks(int32_t* left, int32_t* right, uint32_t frames, bool stereo);
    // The track's sample bytes for the next `frames` frames (0 where it is silent).
    static void Gather(Track& t, const Instrument& in, int8_t* out, uint32_t frames);
    void ReadRow();
    void ProcessNote(Track& t, const uint8_t* note);
    void TickEffects(Track& t);
    void VolumeSlide(Track& t);
    void RecomputeTrackVolume(Track& t);
    void FineSlide(Track& t, int32_t amount);
    void EndOfSong();
    uint32_t StepFor(int32_t period) const;
};
