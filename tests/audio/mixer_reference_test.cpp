// The mixer against a plain frame-by-frame reading of its rules, on random sounds: the
// vector paths (blocks of 16 and 8, windows near the end of the bytes, partial blocks,
// loops shorter than a block) must give exactly the bytes the rules give.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>
#include <vector>

#include "audio/sound_engine.h"
#include "audio_builders.h"

namespace {

int32_t Clamp8(int32_t acc) {
    return std::clamp(acc >> 7, -128, 127) + 128;
}

struct RefVoice {
    const uint8_t* data;
    uint32_t step, pos = 0, end, vol;
    bool loop, stopped = false;
};

TEST(MixerReference, SampleVoicesMatchTheFrameRule) {
    std::mt19937 rng(20240607);
    for (int trial = 0; trial < 40; ++trial) {
        const uint32_t rates[] = {11025, 22050, 44100};
        const uint32_t outRate = rates[rng() % 3];
        const bool stereo = rng() % 2;
        SoundEngine e;
        ASSERT_TRUE(e.OpenOffline(outRate, stereo));
        std::deque<std::vector<uint8_t>> bytes;
        std::vector<RefVoice> ref;
        const int count = 1 + static_cast<int>(rng() % 8);
        for (int v = 0; v < count; ++v) {
            // Lengths from a handful of bytes (loops shorter than a vector block) up.
            const uint32_t length = rng() % 4 == 0 ? rng() % 20 : rng() % 3000;
            bytes.emplace_back(length + 8);
            for (uint8_t& b : bytes.back()) b = static_cast<uint8_t>(rng());
            SoundRequest r;
            r.data = bytes.back().data();
            r.length = length;
            r.rate = 2000 + rng() % 60000;
            r.loop = rng() % 2;
            r.volume = rng() % 70;
            ASSERT_EQ(e.StartSample(r), 2 + v);
            const SampleVoice& sv = e.SampleVoiceAt(v);
            ref.push_back({r.data, sv.step, 0, length << 8, sv.effectiveVolume, r.loop != 0});
        }
        const uint32_t frames = 1 + rng() % 5000;
        std::vector<uint8_t> out(frames << e.Stereo());
        for (uint32_t done = 0; done < frames;) {
            const uint32_t n = std::min<uint32_t>(frames - done, 1 + rng() % 1500);
            e.MixFrames(out.data() + (done << e.Stereo()), n);
            done += n;
        }
        for (uint32_t f = 0; f < frames; ++f) {
            int32_t acc = 0;
            for (RefVoice& v : ref) {
                if (v.stopped) continue;
                if (v.loop && v.pos > v.end) v.pos -= v.end;
                if (v.pos > v.end) {
                    v.stopped = true;
                    continue;
                }
                acc += (v.data[v.pos >> 8] - 128) * static_cast<int32_t>(v.vol);
                v.pos += v.step;
            }
            const uint8_t expected = static_cast<uint8_t>(Clamp8(acc));
            ASSERT_EQ(out[f << e.Stereo()], expected) << "trial " << trial << " frame " << f;
            if (stereo) {
                ASSERT_EQ(out[2 * f + 1], expected) << "trial " << trial << " frame " << f;
            }
        }
        for (int v = 0; v < count; ++v) EXPECT_EQ(e.SampleVoiceAt(v).position, ref[v].pos) << trial;
    }
}

TEST(MixerReference, HeldModuleNotesMatchTheFrameRule) {
    // One note per track on row 0 and nothing after: the tracks then only resample.
    std::mt19937 rng(77);
    const uint32_t periods[] = {57, 113, 160, 214, 300, 428, 856, 1712};
    for (int trial = 0; trial < 30; ++trial) {
        audiotest::ModuleBuilder b;
        struct RefTrack {
            std::vector<int8_t> bytes;
            uint32_t loopStart, loopLength, step = 0, pos = 0;
            int32_t vol;
            uint32_t pan;
        };
        std::vector<RefTrack> ref(4);
        SoundEngine e;
        const bool stereo = rng() % 4 != 0;
        ASSERT_TRUE(e.OpenOffline(22050, stereo));
        for (int t = 0; t < 4; ++t) {
            RefTrack& r = ref[t];
            const uint32_t words = 1 + rng() % (rng() % 3 == 0 ? 12 : 1500);
            r.bytes.resize(words * 2);
            for (int8_t& v : r.bytes) v = static_cast<int8_t>(rng());
            const uint32_t loopWords = rng() % 2 ? 2 + rng() % words : 0;
            const uint32_t loopStartWords =
                loopWords ? rng() % (words - std::min(words, loopWords) + 1) : 0;
            r.loopStart = loopStartWords * 512;
            r.loopLength = loopWords > 1 ? loopWords * 512 : 0;
            r.vol = static_cast<int32_t>(rng() % 65);
            r.pan = t == 0 || t == 3 ? 64 : 192;
            b.Instrument(t + 1, r.bytes, static_cast<uint8_t>(r.vol), 0, loopStartWords, loopWords);
            const uint32_t period = periods[rng() % 8];
            b.Note(0, 0, t, period, t + 1);
            r.step = e.StepTable()[period];
        }
        const std::vector<uint8_t> module = b.Build();
        ModuleRequest m;
        m.data = module.data();
        m.size = module.size();
        ASSERT_EQ(e.StartModule(m), 0);
        const uint32_t frames = 2000 + rng() % 20000;
        std::vector<uint8_t> out(frames << e.Stereo());
        e.MixFrames(out.data(), frames);
        for (uint32_t f = 0; f < frames; ++f) {
            int32_t left = 0, right = 0;
            for (RefTrack& r : ref) {
                const uint32_t length = static_cast<uint32_t>(r.bytes.size()) << 8;
                if (r.loopLength == 0) {
                    if (r.pos > length) continue;  // silent and stays
                } else if (r.pos > r.loopStart + r.loopLength) {
                    r.pos -= r.loopLength;
                }
                uint32_t index = r.pos >> 8;
                // A loop reaching past the last byte goes round there instead.
                if (index >= r.bytes.size() && r.loopLength != 0 && r.pos >= r.loopLength) {
                    r.pos -= r.loopLength;
                    index = r.pos >> 8;
                }
                const int32_t s = index < r.bytes.size() ? r.bytes[index] : 0;
                const int32_t m2 = stereo ? r.vol * static_cast<int32_t>(r.pan) >> 8 : 0;
                left += s * (r.vol - m2);
                right += s * m2;
                r.pos += r.step;
            }
            if (stereo) {
                ASSERT_EQ(out[2 * f], Clamp8(left)) << "trial " << trial << " frame " << f;
                ASSERT_EQ(out[2 * f + 1], Clamp8(right)) << "trial " << trial << " frame " << f;
            } else {
                ASSERT_EQ(out[f], Clamp8(left)) << "trial " << trial << " frame " << f;
            }
        }
    }
}

}  // namespace
