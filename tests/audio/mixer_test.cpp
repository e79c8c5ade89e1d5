// The sample-voice mixer, driven directly on an engine opened without a device.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>

#include "audio/sound_engine.h"
#include "audio/wave_loader.h"
#include "audio_builders.h"

namespace {

using audiotest::SetRequest;

// A sample of `count` identical bytes plus the 8 tail bytes the length rule leaves out.
struct Sample {
    std::vector<uint8_t> bytes;
    SoundRequest request;
    Sample(uint8_t value, uint32_t count, uint32_t volume = 64) : bytes(count + 8, value) {
        SetRequest(request, bytes.data(), count, 22050, volume);
    }
};

std::vector<uint8_t> Mix(SoundEngine& e, uint32_t frames) {
    std::vector<uint8_t> out(frames << e.Stereo(), 0);
    e.MixFrames(out.data(), frames);
    return out;
}
void ExpectMix(SoundEngine& e, uint32_t frames, uint8_t level) {
    for (uint8_t b : Mix(e, frames)) ASSERT_EQ(b, level);
}

TEST(Mixer, BufferSizeFollowsTheRateAndOpensOnce) {
    const uint32_t cases[][3] = {{11025, 11025, 298}, {44100, 44100, 1176}, {8000, 22050, 588}};
    for (const auto& [asked, rate, frames] : cases) {
        SoundEngine e;
        ASSERT_TRUE(e.OpenOffline(asked, true));
        EXPECT_EQ(e.Rate(), rate);
        EXPECT_EQ(e.BufferBytes(), 2 * frames) << asked;
        EXPECT_EQ(e.MixMemorySize(), 5u * 2 * frames);
        EXPECT_FALSE(e.OpenOffline(asked, true)) << "a second open must be refused";
    }
}

TEST(Mixer, LevelsAndClipping) {
    // s x effective volume >> 7, clamped, + 128: volume 64 is half amplitude; -64 >> 7 = -1.
    const uint32_t cases[][5] = {
        // byte, voices, volume, master, level
        {228, 1, 64, 64, 178},  {0, 1, 64, 64, 64},    {127, 1, 64, 64, 127},
        {228, 1, 200, 32, 153}, {228, 0, 64, 64, 128}, {255, 2, 64, 64, 255},
        {0, 2, 64, 64, 0},      {255, 3, 64, 64, 255}, {0, 3, 64, 64, 0},
    };
    for (const auto& [byte, voices, volume, master, level] : cases) {
        SoundEngine e;
        ASSERT_TRUE(e.OpenOffline(22050, true));
        e.SetMasterVolume(master);
        std::deque<Sample> samples;
        for (uint32_t i = 0; i < voices; ++i)
            ASSERT_EQ(e.StartSample(samples.emplace_back(byte, 50, volume).request), 2 + i);
        SCOPED_TRACE(testing::Message() << byte << " x" << voices);
        ExpectMix(e, 20, static_cast<uint8_t>(level));
    }
}

TEST(Mixer, WaveOfNBytesPlaysNMinusSevenFramesAndWritesNoFurther) {
    for (uint32_t n : {8u, 9u, 101u}) {
        audiotest::WaveLayout wave;
        for (uint32_t i = 0; i < n; ++i) wave.data.push_back(static_cast<uint8_t>(130 + i % 100));
        const std::vector<uint8_t> bytes = audiotest::BuildWave(wave);
        SoundRequest r;
        ASSERT_TRUE(LoadWave(bytes, r));
        SoundEngine e;
        ASSERT_TRUE(e.OpenOffline(22050, false));
        ASSERT_EQ(e.StartSample(r), 2);
        std::vector<uint8_t> out(n + 6, 0xEE);
        e.MixFrames(out.data(), n + 4);
        for (uint32_t f = 0; f < n + 4; ++f) {
            const int s = f <= n - 8 ? wave.data[f] - 128 : 0;
            ASSERT_EQ(out[f], (s * 64 >> 7) + 128) << "n=" << n << " frame " << f;
        }
        EXPECT_EQ(out[n + 4], 0xEE);
        EXPECT_TRUE(e.SampleVoiceAt(0).stopped);
    }
}

TEST(Mixer, LoopRestartsAtPositionMinusEnd) {
    SoundEngine e;
    ASSERT_TRUE(e.OpenOffline(22050, false));
    std::vector<uint8_t> data(5 + 8);  // every frame tells which byte was played
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(132 + 4 * i);
    SoundRequest r;
    SetRequest(r, data.data(), 5, 22050, 64, 1);
    e.StartSample(r);
    const std::vector<uint8_t> out = Mix(e, 16);
    // First pass bytes 0..5; every later pass starts at byte 1.
    const int played[] = {0, 1, 2, 3, 4, 5, 1, 2, 3, 4, 5, 1, 2, 3, 4, 5};
    for (size_t f = 0; f < 16; ++f) ASSERT_EQ(out[f], ((data[played[f]] - 128) >> 1) + 128) << f;
}

TEST(Mixer, NinthSoundIsDroppedStopsAndFreedVoicesReused) {
    SoundEngine e;
    ASSERT_TRUE(e.OpenOffline(22050, true));
    std::deque<Sample> samples;
    for (int i = 0; i < 8; ++i)
        ASSERT_EQ(e.StartSample(samples.emplace_back(130, i == 1 ? 2 : 200).request), 2 + i);
    Sample loud(255, 200);
    EXPECT_EQ(e.StartSample(loud.request), SoundEngine::kNoVoice);
    ExpectMix(e, 2, 136);  // 8 x (2 x 64) >> 7: the eight alone
    Mix(e, 5);             // voice 3 ran out
    EXPECT_EQ(e.StartSample(samples[0].request), 3);
    for (uint16_t bad : {0, 1, 10, 0xFFFF}) e.StopVoice(bad);  // ignored
    e.StopVoice(2);
    EXPECT_EQ(e.StartSample(loud.request), 2);
    EXPECT_EQ(e.SampleVoiceAt(0).position, 0u);
    e.StopAllSampleVoices();
    ExpectMix(e, 5, 128);
}

TEST(Mixer, MasterVolumeRecomputesPlayingVoices) {
    SoundEngine e;
    ASSERT_TRUE(e.OpenOffline(22050, false));
    Sample s(228, 1000);
    e.StartSample(s.request);
    e.SetMasterVolume(32);
    ExpectMix(e, 3, 153);
    e.SetMasterVolume(500);
    ExpectMix(e, 3, 178);
}

TEST(Mixer, ClosedEngineAndEmptyRequestsAreHarmless) {
    SoundEngine e;
    Sample s(228, 100);
    std::vector<uint8_t> mod = audiotest::ModuleBuilder().Build();
    ModuleRequest m;
    m.data = mod.data();
    m.size = mod.size();
    for (int round = 0; round < 2; ++round) {  // never opened, then opened and closed
        EXPECT_EQ(e.StartSample(s.request), SoundEngine::kNoVoice);
        EXPECT_EQ(e.StartModule(m), SoundEngine::kNoVoice);
        e.StopVoice(2);
        e.StopAllSampleVoices();
        e.PauseModules();
        e.ResumeModules();
        e.StopModule(0);
        EXPECT_TRUE(e.Close());
        ASSERT_TRUE(round == 1 || (e.OpenOffline(22050, true) && e.Close()));
    }
    ASSERT_TRUE(e.OpenOffline(22050, true));
    SoundRequest empty;
    SetRequest(empty, nullptr, 10, 22050);
    EXPECT_EQ(e.StartSample(empty), SoundEngine::kNoVoice);
    EXPECT_EQ(e.StartModule(ModuleRequest{}), SoundEngine::kNoVoice);
}

// Random sounds against a plain frame-by-frame reading of the rules: the vector paths
// (blocks, windows near the end, partial blocks, loops shorter than a block) must agree.
TEST(Mixer, MatchesTheFrameRuleOnRandomSounds) {
    struct RefVoice {
        const uint8_t* data;
        uint32_t step, pos, end, vol;
        bool loop, stopped;
    };
    std::mt19937 rng(20240607);
    for (int trial = 0; trial < 40; ++trial) {
        const uint32_t outRate = (11025u << (rng() % 3)), master = rng() % 65;
        const bool stereo = rng() % 2;
        SoundEngine e;
        ASSERT_TRUE(e.OpenOffline(outRate, stereo));
        e.SetMasterVolume(master);
        std::deque<std::vector<uint8_t>> bytes;
        std::vector<RefVoice> ref;
        const int count = 1 + static_cast<int>(rng() % 8);
        for (int v = 0; v < count; ++v) {
            const uint32_t length = rng() % 4 == 0 ? rng() % 20 : rng() % 3000;
            for (uint8_t& b : bytes.emplace_back(length + 8)) b = static_cast<uint8_t>(rng());
            SoundRequest r;
            const uint32_t rate = 2000 + rng() % 60000;
            const uint8_t loop = rng() % 2;
            SetRequest(r, bytes.back().data(), length, rate, rng() % 70, loop);
            ASSERT_EQ(e.StartSample(r), 2 + v);
            const uint32_t vol = master * std::min<uint32_t>(r.volume, 64) >> 6;
            ref.push_back({r.data, (rate << 8) / outRate, 0, length << 8, vol, loop != 0, false});
        }
        const uint32_t frames = 1 + rng() % 5000;
        std::vector<uint8_t> out(frames << e.Stereo());
        for (uint32_t done = 0, n; done < frames; done += n) {
            n = std::min<uint32_t>(frames - done, 1 + rng() % 1500);
            e.MixFrames(out.data() + (done << e.Stereo()), n);
        }
        for (uint32_t f = 0; f < frames; ++f) {
            int32_t acc = 0;
            for (RefVoice& v : ref) {
                if (!v.stopped && v.loop && v.pos > v.end) v.pos -= v.end;
                v.stopped |= v.pos > v.end;
                if (v.stopped) continue;
                acc += (v.data[v.pos >> 8] - 128) * static_cast<int32_t>(v.vol);
                v.pos += v.step;
            }
            const int expected = std::clamp(acc >> 7, -128, 127) + 128;
            ASSERT_EQ(out[f << e.Stereo()], expected) << "trial " << trial << " frame " << f;
            ASSERT_EQ(out[(f << e.Stereo()) + e.Stereo()], expected) << "right, frame " << f;
        }
        for (int v = 0; v < count; ++v) EXPECT_EQ(e.SampleVoiceAt(v).position, ref[v].pos) << trial;
    }
}

}  // namespace
