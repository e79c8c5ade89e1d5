// Untrusted wave bytes: the loader must accept only sounds whose every played byte lies
// inside the resource, and playing what it accepts must stay inside too.
//
// Each input is tried as it is, and also as the chunks that follow a well-formed
// header, so that the chunk walk sees random ids and sizes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "audio/sound_engine.h"
#include "audio/wave_loader.h"

namespace {

void Check(const std::vector<uint8_t>& bytes, bool loop) {
    SoundRequest request;
    if (!LoadWave(bytes, request)) {
        if (request.data != nullptr) std::abort();
        return;
    }
    const uint8_t* begin = bytes.data();
    const uint8_t* end = begin + bytes.size();
    // The mixer reads up to and including the byte at index length.
    if (request.data < begin || request.data + request.length >= end) std::abort();
    if (request.rate == 0) std::abort();

    static SoundEngine engine;
    if (!engine.IsOpen()) engine.OpenOffline(22050, true);
    request.loop = loop ? 1 : 0;
    if (engine.StartSample(request) == SoundEngine::kNoVoice) std::abort();
    std::vector<uint8_t> out(engine.BufferBytes());
    for (int i = 0; i < 4; ++i) engine.MixBuffer(out.data());
    engine.StopAllSampleVoices();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Private copies, so that a read past the end is caught by the sanitizers.
    Check(std::vector<uint8_t>(data, data + size), size % 2);

    std::vector<uint8_t> wave = {'R', 'I', 'F', 'F', 0,  0, 0, 0, 'W', 'A', 'V', 'E',
                                 'f', 'm', 't', ' ', 16, 0, 0, 0, 1,   0,   1,   0};
    const uint32_t rate = size > 0 ? 4000u + data[0] * 200u : 22050u;
    for (int i = 0; i < 4; ++i) wave.push_back(static_cast<uint8_t>(rate >> (8 * i)));
    for (int i = 0; i < 4; ++i) wave.push_back(static_cast<uint8_t>(rate >> (8 * i)));
    wave.insert(wave.end(), {1, 0, 8, 0});
    // Every third input gets a data chunk header in front so that some are accepted.
    if (size % 3 == 0) {
        const uint32_t n = static_cast<uint32_t>(size);
        wave.insert(wave.end(), {'d', 'a', 't', 'a'});
        for (int i = 0; i < 4; ++i) wave.push_back(static_cast<uint8_t>(n >> (8 * i)));
    }
    wave.insert(wave.end(), data, data + size);
    Check(wave, size % 4 == 0);
    return 0;
}
