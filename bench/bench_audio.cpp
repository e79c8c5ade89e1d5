// The cost of the mixer: one second of 22050 Hz stereo output per iteration, reported as
// output seconds per CPU second. The module-only cases run the same small four-track
// song through our player and through libxmp (nearest-neighbour resampling, the closest
// to our own) so that the two can be compared.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "audio/sound_engine.h"

#ifdef TALLREED_HAVE_XMP
#include <xmp.h>
#endif

namespace {

constexpr uint32_t kRate = 22050;

void PutBe16(std::vector<uint8_t>& m, size_t at, uint32_t v) {
    m[at] = static_cast<uint8_t>(v >> 8);
    m[at + 1] = static_cast<uint8_t>(v);
}

void PutNote(std::vector<uint8_t>& m, int pattern, int row, int track, uint32_t period,
             uint32_t instrument, uint32_t effect, uint32_t parameter) {
    uint8_t* n = &m[1084 + pattern * 1024 + (row * 4 + track) * 4];
    n[0] = static_cast<uint8_t>((instrument & 0xF0) | ((period >> 8) & 0x0F));
    n[1] = static_cast<uint8_t>(period);
    n[2] = static_cast<uint8_t>(((instrument & 0x0F) << 4) | (effect & 0x0F));
    n[3] = static_cast<uint8_t>(parameter);
}

// Four patterns, four looping instruments (sine, square, saw, a noisy one), a note on
// every track every other row with vibrato, arpeggio, slides and volume changes.
std::vector<uint8_t> BuildSong() {
    const int patterns = 4;
    const int sampleLength[4] = {64, 128, 256, 2048};
    std::vector<uint8_t> m(1084 + patterns * 1024, 0);
    for (int k = 0; k < 4; ++k) {
        const size_t rec = 20 + 30 * k;
        PutBe16(m, rec + 22, sampleLength[k] / 2);
        m[rec + 25] = 48;
        PutBe16(m, rec + 26, 0);
        PutBe16(m, rec + 28, sampleLength[k] / 2);
    }
    m[950] = 4;
    m[951] = 0;
    for (int i = 0; i < 4; ++i) m[952 + i] = static_cast<uint8_t>(i);
    m[1080] = 'M';
    m[1081] = '.';
    m[1082] = 'K';
    m[1083] = '.';
    const uint32_t periods[] = {428, 381, 339, 320, 285, 254, 226, 214, 190, 170, 160, 143};
    const uint32_t effects[][2] = {{0, 0}, {4, 0x44}, {0, 0x37}, {10, 0x02}, {3, 0x08}, {12, 0x30}};
    uint32_t seed = 1;
    for (int p = 0; p < patterns; ++p)
        for (int row = 0; row < 64; row += 2)
            for (int t = 0; t < 4; ++t) {
                seed = seed * 1103515245u + 12345u;
                const uint32_t* e = effects[(seed >> 16) % 6];
                PutNote(m, p, row, t, periods[(seed >> 8) % 12] * (t == 3 ? 2 : 1), t + 1, e[0],
                        e[1]);
            }
    for (int k = 0; k < 4; ++k) {
        for (int i = 0; i < sampleLength[k]; ++i) {
            double v = 0;
            const double phase = static_cast<double>(i) / sampleLength[k];
            switch (k) {
                case 0:
                    v = std::sin(2 * M_PI * phase);
                    break;
                case 1:
                    v = phase < 0.5 ? 0.8 : -0.8;
                    break;
                case 2:
                    v = 2 * phase - 1;
                    break;
                default:
                    seed = seed * 1103515245u + 12345u;
                    v = ((seed >> 16) % 200) / 100.0 - 1;
                    break;
            }
            m.push_back(static_cast<uint8_t>(static_cast<int8_t>(v * 100)));
        }
    }
    return m;
}

const std::vector<uint8_t>& Song() {
    static const std::vector<uint8_t> song = BuildSong();
    return song;
}

void StartSong(SoundEngine& engine) {
    ModuleRequest request;
    request.data = Song().data();
    request.size = Song().size();
    request.loop = 1;
    engine.StartModule(request);
}

void BM_MixEightVoicesAndTwoModules(benchmark::State& state) {
    SoundEngine engine;
    engine.OpenOffline(kRate, true);
    StartSong(engine);
    StartSong(engine);
    std::vector<std::vector<uint8_t>> samples;
    for (int v = 0; v < 8; ++v) {
        std::vector<uint8_t> s(5000 + 8);
        for (size_t i = 0; i < s.size(); ++i)
            s[i] = static_cast<uint8_t>(128 + 60 * std::sin(i * (0.01 + v * 0.003)));
        samples.push_back(std::move(s));
    }
    for (int v = 0; v < 8; ++v) {
        SoundRequest r;
        r.data = samples[v].data();
        r.length = 5000;
        r.rate = v % 2 ? 11025 : 22050;
        r.loop = 1;
        r.volume = 40;
        engine.StartSample(r);
    }
    std::vector<uint8_t> out(kRate * 2);
    for (auto _ : state) {
        engine.MixFrames(out.data(), kRate);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["output_s_per_cpu_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MixEightVoicesAndTwoModules)->Unit(benchmark::kMillisecond);

void BM_ModuleOurs(benchmark::State& state) {
    SoundEngine engine;
    engine.OpenOffline(kRate, true);
    StartSong(engine);
    std::vector<uint8_t> out(kRate * 2);
    for (auto _ : state) {
        engine.MixFrames(out.data(), kRate);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["output_s_per_cpu_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ModuleOurs)->Unit(benchmark::kMillisecond);

#ifdef TALLREED_HAVE_XMP
void BM_ModuleLibxmpNearest(benchmark::State& state) {
    xmp_context ctx = xmp_create_context();
    std::vector<uint8_t> song = Song();
    if (xmp_load_module_from_memory(ctx, song.data(), static_cast<long>(song.size())) != 0) {
        state.SkipWithError("libxmp refused the module");
        xmp_free_context(ctx);
        return;
    }
    xmp_start_player(ctx, kRate, XMP_FORMAT_8BIT | XMP_FORMAT_UNSIGNED);
    xmp_set_player(ctx, XMP_PLAYER_INTERP, XMP_INTERP_NEAREST);
    std::vector<uint8_t> out(kRate * 2);
    for (auto _ : state) {
        xmp_play_buffer(ctx, out.data(), static_cast<int>(out.size()), 0);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["output_s_per_cpu_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    xmp_end_player(ctx);
    xmp_release_module(ctx);
    xmp_free_context(ctx);
}
BENCHMARK(BM_ModuleLibxmpNearest)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
