// The sample-voice mixer, driven directly on an engine opened without a device.
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "audio/sound_engine.h"
#include "audio/wave_loader.h"
#include "audio_builders.h"

namespace {

// A sample of `count` identical bytes plus the 8 tail bytes the length rule leaves out.
struct Sample {
    std::vector<uint8_t> bytes;
    SoundRequest request;
    Sample(uint8_t value, uint32_t count, uint32_t rate = 22050, uint32_t volume = 64) {
        bytes.assign(count + 8, value);
        request.data = bytes.data();
        request.length = count;
        request.rate = rate;
        request.volume = volume;
    }
};

std::vector<uint8_t> Mix(SoundEngine& e, uint32_t frames) {
    std::vector<uint8_t> out(frames << e.Stereo(), 0);
    e.MixFrames(out.data(), frames);
    return out;
}

TEST(Mixer, OutputFormatAndBufferSizeFollowTheRate) {
    struct Case {
        uint32_t asked, rate, frames;
    };
    for (const Case c : {Case{11025, 11025, 298}, Case{22050, 22050, 588}, Case{44100, 44100, 1176},
                         Case{8000, 22050, 588}, Case{0, 22050, 588}}) {
        for (bool stereo : {false, true}) {
            SoundEngine e;
            ASSERT_TRUE(e.OpenOffline(c.asked, stereo));
            EXPECT_EQ(e.Rate(), c.rate) << c.asked;
            EXPECT_EQ(e.FramesPerBuffer(), c.frames) << c.asked;
            EXPECT_EQ(e.Format().channels, stereo ? 2 : 1);
            EXPECT_EQ(e.Format().rate, c.rate);
            EXPECT_EQ(e.MixMemorySize(), 5u * (c.frames << (stereo ? 1 : 0)));
            for (size_t i = 0; i < e.MixMemorySize(); ++i) ASSERT_EQ(e.MixMemory()[i], 128);
            EXPECT_EQ(e.MasterVolume(), 64u);
            EXPECT_FALSE(e.OpenOffline(c.asked, stereo)) << "a second open must be refused";
        }
    }
}

TEST(Mixer, SilenceWhenNothingPlays) {
    SoundEngine e;
    ASSERT_TRUE(e.OpenOffline(22050, true));
    std::vector<uint8_t> out(e.BufferBytes(), 0);
    e.MixBuffer(out.data());
    for (uint8_t b : out) ASSERT_EQ(b, 128);
}

TEST(Mixer, SingleVoiceLevels) {
    // s x effective volume >> 7, clamped, + 128: full volume is half amplitude.
    struct Case {
        uint8_t byte;
        uint32_t volume, master;
        uint8_t expected;
    };
    const Case cases[] = {
        {228, 64, 64, 178},                       // +100 -> +50
        {28, 64, 64, 78},                         // -100 -> -50
        {255, 64, 64, 191},                       // +127 -> +63
        {0, 64, 64, 64},                          // -128 -> -64
        {228, 32, 64, 153},                       // 100 x 32 >> 7 = 25
        {228, 64, 32, 153},                       // the master scales the same way
        {228, 200, 64, 178},                      // volumes above 64 are limited to 64
        {228, 0, 64, 128},   {129, 64, 64, 128},  // 64 >> 7 = 0
        {127, 64, 64, 127},                       // -64 >> 7 = -1 (arithmetic shift)
    };
    for (const Case& c : cases) {
        SoundEngine e;
        ASSERT_TRUE(e.OpenOffline(22050, false));
        e.SetMasterVolume(c.master);
        Sample s(c.byte, 100, 22050, c.volume);
        ASSERT_EQ(e.StartSample(s.request), 2);
        const std::vector<uint8_t> out = Mix(e, 10);
        for (uint8_t b : out) ASSERT_EQ(b, c.expected) << int(c.byte) << " vol " << c.volume;
    }
}

TEST(Mixer, TwoFullVoicesReachFullScaleAndMoreClip) {
    struct Case {
        uint8_t byte;
        int voices;
        uint8_t expected;
    };
    for (const Case c : {Case{255, 2, 255}, Case{255, 3, 255}, Case{255, 8, 255}, Case{0, 2, 0},
                         Case{0, 3, 0}, Case{228, 2, 228}, Case{192, 3, 224}}) {
        SoundEngine e;
        ASSERT_TRUE(e.OpenOffline(22050, true));
        std::deque<Sample> samples;
        for (int i = 0; i < c.voices; ++i) {
            samples.emplace_back(c.byte, 50);
            ASSERT_NE(e.StartSample(samples.back().request), SoundEngine::kNoVoice);
        }
        const std::vector<uint8_t> out = Mix(e, 20);
        for (uint8_t b : out) ASSERT_EQ(b, c.expected) << int(c.byte) << " x" << c.voices;
    }
}

TEST(Mixer, StereoPutsEveryVoiceOnBothSides) {
    SoundEngine e;
    ASSERT_TRUE(e.OpenOffline(22050, true));
    std::vector<uint8_t> ramp(300 + 8);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<uint8_t>(i * 7);
    SoundRequest r;
    r.data = ramp.data();
    r.length = 300;
    r.rate = 11025;
    ASSERT_EQ(e.StartSample(r), 2);
    Sample flat(180, 1000);
    ASSERT_EQ(e.StartSample(flat.request), 3);
    const std::vector<uint8_t> out = Mix(e, 700);
    bool varied = false;
    for (size_t f = 0; f < 700; ++f) {
        ASSERT_EQ(out[2 * f], out[2 * f + 1]) << "frame " << f;
        varied |= out[2 * f] != out[0];
    }
    EXPECT_TRUE(varied);
}

TEST(Mixer, MonoWritesOneBytePerFrame) {
    SoundEngine e;
    ASSERT_TRUE(e.OpenOffline(22050, false));
    Sample s(228, 4);
    e.StartSample(s.request);
    std::vector<uint8_t> out(8, 0xEE);
    e.MixFrames(out.data(), 6);
    // Bytes 0..4 of the sample are heard (position <= end), then silence; nothing past
    // the six frames is written.
    const std::vector<uint8_t> expected = {178, 178, 178, 178, 178, 128, 0xEE, 0xEE};
    EXPECT_EQ(out, expected);
}

TEST(Mixer, StepFollowsTheSampleRate) {
    struct Case {
        uint32_t outRate, sampleRate, step;
    };
    for (const Case c : {Case{22050, 22050, 256}, Case{22050, 11025, 128}, Case{22050, 44100, 512},
                         Case{11025, 22050, 512}, Case{44100, 11025, 64}}) {
        SoundEngine e;
        ASSERT_TRUE(e.OpenOffline(c.outRate, true));
        Sample s(200, 100, c.sampleRate);
        ASSERT_EQ(e.StartSample(s.request), 2);
        EXPECT_EQ(e.SampleVoiceAt(0).step, c.step) << c.sampleRate << " at " << c.outRate;
        EXPECT_EQ(e.SampleVoiceAt(0).end, 100u << 8);
    }
}

TEST(Mixer, HalfRateSampleRepeatsEachByte) {
    SoundEngine e;
    ASSERT_TRUE(e.OpenOffline(22050, false));
    std::vector<uint8_t> data = {228, 28, 255, 0, 128, 128, 128, 128, 128, 128, 128, 128};
    SoundRequest r;
    r.data = data.data();
    r.length = 4;
    r.rate = 11025;
    e.StartSample(r);
    const std::vector<uint8_t> out = Mix(e, 11);
    // Bytes 0..4 each twice (position 0..1024 in steps of 128 is nine frames).
    const std::vector<uint8_t> expected = {178, 178, 78, 78, 191, 191, 64, 64, 128, 128, 128};
    EXPECT_EQ(out, expected);
    EXPECT_TRUE(e.SampleVoiceAt(0).stopped);
}

TEST(Mixer, WaveOfNBytesPlaysNMinusSevenFrames) {
    for (uint32_t n : {8u, 9u, 20u, 101u}) {
        audiotest::WaveLayout layout;
        for (uint32_t i = 0; i < n; ++i) layout.data.push_back(static_cast<uint8_t>(130 + i % 100));
        const std::vector<uint8_t> wave = audiotest::BuildWave(layout);
        SoundRequest r;
        ASSERT_TRUE(LoadWave(wave, r));
        SoundEngine e;
        ASSERT_TRUE(e.OpenOffline(22050, false));
        e.SetMasterVolume(64);
        r.volume = 64;
        ASSERT_EQ(e.StartSample(r), 2);
        const std::vector<uint8_t> out = Mix(e, n + 4);
        for (uint32_t f = 0; f < n + 4; ++f) {
            const int s = f <= n - 8 ? layout.data[f] - 128 : 0;
            ASSERT_EQ(out[f], (s * 64 >> 7) + 128) << "n=" << n << " frame " << f;
        }
        EXPECT_TRUE(e.SampleVoiceAt(0).stopped);
    }
}

TEST(Mixer, LoopRestartsAtPositionMinusEnd) {
    SoundEngine e;
    ASSERT_TRUE(e.OpenOffline(22050, false));
    // Bytes 132, 136, 140, ... so that every output frame tells which byte was played.
    std::vector<uint8_t> data(5 + 8);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(132 + 4 * i);
    SoundRequest r;
    r.data = data.data();
    r.length = 5;
    r.rate = 22050;
    r.loop = 1;
    e.StartSample(r);
    const std::vector<uint8_t> out = Mix(e, 16);
    // First pass bytes 0..5; every later pass starts at byte 1.
    const std::vector<int> bytes = {0, 1, 2, 3, 4, 5, 1, 2, 3, 4, 5, 1, 2, 3, 4, 5};
    for (size_t f = 0; f < bytes.size(); ++f) {
        const int s = data[bytes[f]] - 128;
        ASSERT_EQ(out[f], (s * 64 >> 7) + 128) << "frame " << f;
    }
    EXPECT_FALSE(e.SampleVoiceAt(0).stopped);
}

TEST(Mixer, LoopShorterThanOneStepStops) {
    // A looped sample whose position overshoots by more than its length cannot come
    // back inside; it stops instead of reading outside its bytes.
    SoundEngine e;
    ASSERT_TRUE(e.OpenOffline(11025, false));
    Sample s(200, 1, 44100);  // step 1024, end 256
    s.request.loop = 1;
    e.StartSample(s.request);
    Mix(e, 3);
    EXPECT_TRUE(e.SampleVoiceAt(0).stopped);
}

TEST(Mixer, NinthSoundIsDroppedAndTheEightPlayOn) {
    SoundEngine e;
    ASSERT_TRUE(e.OpenOffline(22050, true));
    std::deque<Sample> samples;
    for (int i = 0; i < 8; ++i) {
        samples.emplace_back(static_cast<uint8_t>(130), 200);
        EXPECT_EQ(e.StartSample(samples.back().request), 2 + i);
    }
    Mix(e, 10);
    samples.emplace_back(static_cast<uint8_t>(255), 200);
    EXPECT_EQ(e.StartSample(samples.back().request), SoundEngine::kNoVoice);
    // 8 x (2 x 64) >> 7 = 8: the eight voices alone.
    for (uint8_t b : Mix(e, 50)) ASSERT_EQ(b, 136);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(e.SampleVoiceAt(i).position, 60u << 8);
}

TEST(Mixer, FreedVoiceIsReusedLowestFirst) {
    SoundEngine e;
    ASSERT_TRUE(e.OpenOffline(22050, true));
    Sample shortOne(200, 2);
    Sample longOne(200, 500);
    EXPECT_EQ(e.StartSample(longOne.request), 2);
    EXPECT_EQ(e.StartSample(shortOne.request), 3);
    EXPECT_EQ(e.StartSample(longOne.request), 4);
    Mix(e, 5);  // voice 3 ran out
    EXPECT_EQ(e.StartSample(longOne.request), 3);
    e.StopVoice(2);
    EXPECT_EQ(e.StartSample(longOne.request), 2);
}

TEST(Mixer, StopVoiceAndStopAll) {
    SoundEngine e;
    ASSERT_TRUE(e.OpenOffline(22050, true));
    Sample a(228, 1000);
    a.request.loop = 1;
    Sample b(28, 1000);
    ASSERT_EQ(e.StartSample(a.request), 2);
    ASSERT_EQ(e.StartSample(b.request), 3);
    for (uint16_t bad : {0, 1, 10, 0xFFFF}) e.StopVoice(bad);  // ignored
    for (uint8_t v : Mix(e, 5)) ASSERT_EQ(v, 128);             // +50 and -50 cancel
    e.StopVoice(3);
    for (uint8_t v : Mix(e, 5)) ASSERT_EQ(v, 178);
    e.StopAllSampleVoices();
    for (uint8_t v : Mix(e, 5)) ASSERT_EQ(v, 128);
    // Starting again begins at the first byte.
    ASSERT_EQ(e.StartSample(a.request), 2);
    EXPECT_EQ(e.SampleVoiceAt(0).position, 0u);
}

TEST(Mixer, MasterVolumeRecomputesPlayingVoices) {
    SoundEngine e;
    ASSERT_TRUE(e.OpenOffline(22050, false));
    Sample s(228, 1000, 22050, 64);
    e.StartSample(s.request);
    e.SetMasterVolume(32);
    EXPECT_EQ(e.SampleVoiceAt(0).effectiveVolume, 32u);
    for (uint8_t v : Mix(e, 3)) ASSERT_EQ(v, 153);
    e.SetMasterVolume(500);
    EXPECT_EQ(e.MasterVolume(), 64u);
    for (uint8_t v : Mix(e, 3)) ASSERT_EQ(v, 178);
}

TEST(Mixer, ClosedEngineIsHarmless) {
    SoundEngine e;
    Sample s(228, 100);
    EXPECT_EQ(e.StartSample(s.request), SoundEngine::kNoVoice);
    e.StopVoice(2);
    e.StopAllSampleVoices();
    e.PauseModules();
    e.ResumeModules();
    e.StopModule(0);
    ModuleRequest m;
    std::vector<uint8_t> mod = audiotest::ModuleBuilder().Build();
    m.data = mod.data();
    m.size = mod.size();
    EXPECT_EQ(e.StartModule(m), SoundEngine::kNoVoice);
    EXPECT_TRUE(e.Close());
    EXPECT_TRUE(e.Close());
    // Open, close, and the engine refuses again.
    ASSERT_TRUE(e.OpenOffline(22050, true));
    EXPECT_TRUE(e.Close());
    EXPECT_EQ(e.StartSample(s.request), SoundEngine::kNoVoice);
}

TEST(Mixer, RequestWithoutDataIsRefused) {
    SoundEngine e;
    ASSERT_TRUE(e.OpenOffline(22050, true));
    SoundRequest r;
    r.rate = 22050;
    r.length = 10;
    EXPECT_EQ(e.StartSample(r), SoundEngine::kNoVoice);
    ModuleRequest m;
    EXPECT_EQ(e.StartModule(m), SoundEngine::kNoVoice);
}

}  // namespace
