// tallreed-modrender IN.mod OUT.wav SECONDS
//
// Renders a four-track module through the game's own mixer, exactly as the game would
// play it (22050 Hz, stereo, unsigned 8-bit, no loop), into a RIFF wave file. Used to
// turn composed music into the game's looped sounds and to listen to the player.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/sound_engine.h"

namespace {

constexpr uint32_t kRate = 22050;
constexpr double kMaxSeconds = 3600;

int Fail(const std::string& message) {
    std::fprintf(stderr, "tallreed-modrender: %s\n", message.c_str());
    return 1;
}

void PutLe32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutLe16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void PutId(std::vector<uint8_t>& b, const char* id) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(id[i]));
}

std::vector<uint8_t> WaveHeader(uint32_t dataBytes) {
    std::vector<uint8_t> h;
    PutId(h, "RIFF");
    PutLe32(h, 36 + dataBytes);
    PutId(h, "WAVE");
    PutId(h, "fmt ");
    PutLe32(h, 16);
    PutLe16(h, 1);  // PCM
    PutLe16(h, 2);  // stereo
    PutLe32(h, kRate);
    PutLe32(h, kRate * 2);
    PutLe16(h, 2);
    PutLe16(h, 8);
    PutId(h, "data");
    PutLe32(h, dataBytes);
    return h;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tallreed-modrender IN.mod OUT.wav SECONDS\n");
        return 2;
    }
    const std::string inPath = argv[1], outPath = argv[2];

    errno = 0;
    char* end = nullptr;
    const double seconds = std::strtod(argv[3], &end);
    if (end == argv[3] || *end != '\0' || errno != 0 || !std::isfinite(seconds) || seconds <= 0 ||
        seconds > kMaxSeconds)
        return Fail(std::string("SECONDS must be a number above 0 and at most 3600, not \"") +
                    argv[3] + "\"");

    std::ifstream in(inPath, std::ios::binary);
    if (!in) return Fail("cannot open " + inPath + ": " + std::strerror(errno));
    const std::vector<uint8_t> module((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
    if (in.bad()) return Fail("cannot read " + inPath);

    SoundEngine engine;
    engine.OpenOffline(kRate, true);
    ModuleRequest request;
    request.data = module.data();
    request.size = module.size();
    request.loop = 0;
    if (module.empty() || engine.StartModule(request) == SoundEngine::kNoVoice)
        return Fail(inPath + ": not a four-track module (" + std::to_string(module.size()) +
                    " bytes; the header, order table and patterns need more)");

    const uint32_t frames = static_cast<uint32_t>(std::llround(seconds * kRate));
    std::vector<uint8_t> pcm(static_cast<size_t>(frames) * 2);
    uint32_t songEnd = 0;
    for (uint32_t done = 0; done < frames;) {
        const uint32_t n = std::min(engine.FramesPerBuffer(), frames - done);
        engine.MixFrames(pcm.data() + static_cast<size_t>(done) * 2, n);
        done += n;
        if (songEnd == 0 && engine.PlayerAt(0).stopped) songEnd = done;
    }

    std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
    if (!out) return Fail("cannot create " + outPath + ": " + std::strerror(errno));
    const std::vector<uint8_t> header = WaveHeader(static_cast<uint32_t>(pcm.size()));
    out.write(reinterpret_cast<const char*>(header.data()),
              static_cast<std::streamsize>(header.size()));
    out.write(reinterpret_cast<const char*>(pcm.data()), static_cast<std::streamsize>(pcm.size()));
    out.close();
    if (!out) return Fail("cannot write " + outPath);

    if (songEnd != 0)
        std::printf("%s: %u frames; the song ended within the first %u, silence after\n",
                    outPath.c_str(), frames, songEnd);
    else
        std::printf("%s: %u frames\n", outPath.c_str(), frames);
    return 0;
}
