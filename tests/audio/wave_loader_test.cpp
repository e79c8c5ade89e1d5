// Reading RIFF wave resources into sound requests, well-formed and not, and the game's own.
#include "audio/wave_loader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(GameSounds, EverySoundLoadsWithItsRateAndLength) {
    const uint32_t sounds[][3] = {
        {535, 22050, 84808}, {537, 22050, 211806}, {538, 22050, 5997},  {540, 22050, 6434},
        {543, 11025, 6207},  {544, 11025, 2245},   {545, 22050, 30208}, {546, 11025, 792},
        {550, 22050, 17115}, {551, 22050, 14403},  {555, 22050, 15404}, {556, 22050, 14254},
        {557, 11025, 8384},  {558, 44100, 41281},  {562, 22050, 17468}, {563, 22050, 15670},
        {564, 22050, 25998}, {578, 22050, 12671},  {579, 11025, 47037},
    };
    for (const auto& [id, rate, dataBytes] : sounds) {
        SoundRequest r;
        ASSERT_TRUE(LoadWaveResource(static_cast<int>(id), r)) << id;
        EXPECT_EQ(r.rate, rate) << id;
        EXPECT_EQ(r.length, dataBytes - 8) << id;
        const std::span<const uint8_t> res = platform::findResource("WAVE", static_cast<int>(id));
        EXPECT_GE(r.data, res.data()) << id;
        EXPECT_LT(r.data + r.length, res.data() + res.size()) << id;
    }
}

}  // namespace
