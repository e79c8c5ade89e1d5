// Untrusted module bytes: starting and rendering a few seconds must never read outside
// the module, whatever its header, order table, patterns and effects say.
//
// Random bytes are rarely long enough for their own pattern count, so each input is
// also played a second time with its order table folded onto the patterns it has room
// for: that drives the sequencer through random notes and effects.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "audio/sound_engine.h"

namespace {

void Render(SoundEngine& engine, const std::vector<uint8_t>& bytes, bool loop, uint32_t volume) {
    ModuleRequest request;
    request.data = bytes.empty() ? nullptr : bytes.data();
    request.size = bytes.size();
    request.loop = loop ? 1 : 0;
    request.volume = volume;
    const uint16_t id = engine.StartModule(request);
    if (id == SoundEngine::kNoVoice) return;
    // Three seconds at 11025 Hz.
    std::vector<uint8_t> out(engine.BufferBytes());
    for (uint32_t frames = 0; frames < 3 * 11025; frames += engine.FramesPerBuffer())
        engine.MixBuffer(out.data());
    engine.StopModule(id);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SoundEngine engine;
    if (!engine.IsOpen()) engine.OpenOffline(11025, true);

    // A private copy, so that a read past the end is caught by the sanitizers.
    std::vector<uint8_t> bytes(data, data + size);
    Render(engine, bytes, size % 2, size % 97);

    if (size < 16) return 0;
    std::vector<uint8_t> folded = bytes;
    if (folded.size() < 1084 + 1024) {
        // Repeat the input up to a header and one pattern, plus a little sample data.
        folded.resize(1084 + 1024 + size % 512);
        for (size_t i = size; i < folded.size(); ++i) folded[i] = folded[i % size];
    }
    const size_t room = std::min<size_t>((folded.size() - 1084) / 1024, 256);
    for (size_t i = 0; i < 128; ++i) folded[952 + i] = static_cast<uint8_t>(folded[952 + i] % room);
    Render(engine, folded, (size / 2) % 2, 64);
    return 0;
}
