// Reading RIFF wave resources into sound requests, well-formed and not, and the game's own.
#include "audio/wave_loader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/sound_ids.h"
#include "audio_builders.h"
#include "platform/platform.h"
#include "platform/resource_pack.h"

namespace {

using audiotest::BuildWave;
using audiotest::WaveLayout;

std::vector<uint8_t> Bytes(size_t n, uint8_t start = 0) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(start + i);
    return v;
}

TEST(WaveLoader, ReadsRateAndLengthMinusEightWithoutCopying) {
    WaveLayout wave;
    wave.rate = 11025;
    wave.data = Bytes(30, 50);
    // Other chunks are walked by their exact sizes (no pad byte after an odd one).
    wave.extraChunks = {{"LIST", Bytes(5)}, {"junk", {}}};
    const std::vector<uint8_t> w = BuildWave(wave);
    platform::overrideResource("WAVE", 60001, w);
    SoundRequest r;
    ASSERT_TRUE(LoadWaveResource(60001, r));
    EXPECT_EQ(r.rate, 11025u);
    EXPECT_EQ(r.length, 22u);
    EXPECT_EQ(r.data, w.data() + 44 + 13 + 8);
    EXPECT_EQ(r.ownsData, 0);
    platform::overrideResource("WAVE", 60001, {});
    SoundRequest missing;
    EXPECT_FALSE(LoadWaveResource(60001, missing));
    EXPECT_EQ(missing.data, nullptr);

    wave = {};
    wave.data = Bytes(8);
    ASSERT_TRUE(LoadWave(BuildWave(wave), r));
    EXPECT_EQ(r.length, 0u);
}

TEST(WaveLoader, RejectsWhatItCannotPlay) {
    auto with = [](auto edit) {
        WaveLayout l;
        l.data = Bytes(64);
        edit(l);
        return BuildWave(l);
    };
    const std::vector<uint8_t> good = with([](WaveLayout&) {});
    auto patched = [&](size_t at, std::vector<uint8_t> v) {
        auto w = good;
        std::copy(v.begin(), v.end(), w.begin() + static_cast<long>(at));
        return w;
    };
    std::vector<uint8_t> longChunk = with([](WaveLayout& l) {
        l.extraChunks = {{"LIST", Bytes(10)}};
    });
    longChunk[43] = 0xFF;
    std::vector<std::pair<std::string, std::vector<uint8_t>>> cases = {
        {"16-bit", with([](WaveLayout& l) { l.bits = 16; })},
        {"stereo", with([](WaveLayout& l) { l.channels = 2; })},
        {"rate 0", with([](WaveLayout& l) { l.rate = 0; })},
        {"rate 65536", with([](WaveLayout& l) { l.rate = 65536; })},
        {"data shorter than 8", with([](WaveLayout& l) { l.data.resize(7); })},
        {"no fmt", patched(12, {'L'})},
        {"no data chunk", patched(36, {'d', 'a', 't', 'x'})},
        {"short fmt", patched(16, {12})},
        {"data past end", {good.begin(), good.end() - 1}},
        {"chunk size past end", longChunk},
    };
    for (size_t cut : {0u, 4u, 12u, 20u, 35u, 43u, 47u})
        cases.push_back({"cut to " + std::to_string(cut), {good.begin(), good.begin() + cut}});
    SoundRequest ok;
    ASSERT_TRUE(LoadWave(good, ok));
    for (const auto& [name, bytes] : cases) {
        SoundRequest r;
        EXPECT_FALSE(LoadWave(bytes, r)) << name;
        EXPECT_EQ(r.data, nullptr) << name;
    }
}

// Rate and RIFF data length of every sound the game names. No default: a new name that
// is not listed here does not compile.
struct WaveFacts {
    uint32_t rate = 0;
    uint32_t dataBytes = 0;
};
WaveFacts catalogued(SoundId id) {
    switch (id) {
        case SOUND_MENU_MUSIC:
            return {22050, 84808};
        case SOUND_ROUND_MUSIC:
            return {22050, 211806};
        case SOUND_VOLUME_SAMPLE:
            return {22050, 5997};
        case SOUND_BUTTON:
            return {22050, 6434};
        case SOUND_RELOAD:
            return {11025, 6207};
        case SOUND_DUCK_HIT:
            return {11025, 2245};
        case SOUND_HIDDEN_TARGET:
            return {22050, 30208};
        case SOUND_EMPTY_CLICK:
            return {11025, 792};
        case SOUND_SHOT:
            return {22050, 17115};
        case SOUND_LAST_SHELL:
            return {22050, 14403};
        case SOUND_TIME_GAINED:
            return {22050, 15404};
        case SOUND_TIME_LOST:
            return {22050, 14254};
        case SOUND_BONUS:
            return {11025, 8384};
        case SOUND_RED_BIRD_HIT:
            return {44100, 41281};
        case SOUND_FISHERMAN_HIT:
            return {22050, 17468};
        case SOUND_QUACK:
            return {22050, 15670};
        case SOUND_QUACK_CALL:
            return {22050, 25998};
        case SOUND_GONG:
            return {22050, 12671};
        case SOUND_TIME_WARNING:
            return {11025, 47037};
    }
    return {};
}

TEST(GameSounds, EveryNamedSoundLoadsFromThePackWithItsRateAndLength) {
    int named = 0;
    for (int id = 0; id < 1000; ++id) {
        const auto [rate, dataBytes] = catalogued(static_cast<SoundId>(id));
        if (rate == 0) continue;
        ++named;
        SoundRequest r;
        ASSERT_TRUE(LoadWaveResource(id, r)) << id;
        EXPECT_EQ(r.rate, rate) << id;
        EXPECT_EQ(r.length, dataBytes - 8) << id;
        const std::span<const uint8_t> res = platform::findResource("WAVE", id);
        EXPECT_GE(r.data, res.data()) << id;
        EXPECT_LT(r.data + r.length, res.data() + res.size()) << id;
    }
    EXPECT_EQ(named, 19);
}

}  // namespace
