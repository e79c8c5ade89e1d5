// Reading RIFF wave resources into sound requests, well-formed and not.
#include "audio/wave_loader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio_builders.h"
#include "platform/resource_pack.h"

namespace {

using audiotest::BuildWave;
using audiotest::WaveLayout;

std::vector<uint8_t> Bytes(size_t n, uint8_t start = 0) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(start + i);
    return v;
}

TEST(WaveLoader, ReadsRateLengthAndPointsIntoTheBytes) {
    struct Case {
        uint32_t rate;
        size_t dataBytes;
    };
    for (const Case c : {Case{22050, 100}, Case{11025, 8}, Case{44100, 41281}}) {
        WaveLayout s;
        s.rate = c.rate;
        s.data = Bytes(c.dataBytes, 3);
        const std::vector<uint8_t> w = BuildWave(s);
        SoundRequest r;
        ASSERT_TRUE(LoadWave(w, r)) << c.rate;
        EXPECT_EQ(r.rate, c.rate);
        EXPECT_EQ(r.length, c.dataBytes - 8);
        EXPECT_EQ(r.data, w.data() + 44);  // no copy
        EXPECT_EQ(r.data[0], 3);
        EXPECT_EQ(r.ownsData, 0);
    }
}

TEST(WaveLoader, WalksOtherChunksWithoutPadBytes) {
    WaveLayout s;
    s.data = Bytes(20, 50);
    s.extraChunks = {{"LIST", Bytes(5)}, {"fact", Bytes(4)}, {"junk", {}}};
    const std::vector<uint8_t> w = BuildWave(s);
    SoundRequest r;
    ASSERT_TRUE(LoadWave(w, r));
    EXPECT_EQ(r.length, 12u);
    EXPECT_EQ(r.data[0], 50);
    EXPECT_EQ(r.data, w.data() + 44 + 13 + 12 + 8);
}

TEST(WaveLoader, RejectsWhatItCannotPlay) {
    struct Case {
        std::string name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    WaveLayout good;
    good.data = Bytes(64);
    {
        WaveLayout s = good;
        s.bits = 16;
        cases.push_back({"16-bit", BuildWave(s)});
    }
    {
        WaveLayout s = good;
        s.channels = 2;
        cases.push_back({"stereo", BuildWave(s)});
    }
    {
        WaveLayout s = good;
        s.rate = 0;
        cases.push_back({"rate 0", BuildWave(s)});
    }
    {
        std::vector<uint8_t> w = BuildWave(good);
        w[12] = 'L';  // second chunk not "fmt "
        cases.push_back({"no fmt", w});
    }
    {
        std::vector<uint8_t> w = BuildWave(good);
        w[36] = 'd';
        w[37] = 'a';
        w[38] = 't';
        w[39] = 'x';
        cases.push_back({"no data chunk", w});
    }
    {
        std::vector<uint8_t> w = BuildWave(good);
        w.resize(w.size() - 1);  // data chunk claims one byte more than exists
        cases.push_back({"data past end", w});
    }
    {
        WaveLayout s = good;
        s.data = Bytes(7);
        cases.push_back({"data shorter than 8", BuildWave(s)});
    }
    {
        WaveLayout s = good;
        s.extraChunks = {{"LIST", Bytes(10)}};
        std::vector<uint8_t> w = BuildWave(s);
        w[40] = 0xF0;  // LIST size runs far past the end: the walk must stop
        w[41] = 0xFF;
        w[42] = 0xFF;
        w[43] = 0xFF;
        cases.push_back({"chunk size past end", w});
    }
    {
        std::vector<uint8_t> w = BuildWave(good);
        w[16] = 12;  // fmt chunk too short for its body
        cases.push_back({"short fmt", w});
    }
    for (size_t cut : {0u, 4u, 12u, 20u, 35u, 43u, 47u}) {
        std::vector<uint8_t> w = BuildWave(good);
        w.resize(cut);
        cases.push_back({"truncated to " + std::to_string(cut), w});
    }
    for (const Case& c : cases) {
        SoundRequest r;
        EXPECT_FALSE(LoadWave(c.bytes, r)) << c.name;
        EXPECT_EQ(r.data, nullptr) << c.name;
    }
}

TEST(WaveLoader, DataChunkOfExactlyEightBytesHasLengthZero) {
    WaveLayout s;
    s.data = Bytes(8);
    const std::vector<uint8_t> w = BuildWave(s);
    SoundRequest r;
    ASSERT_TRUE(LoadWave(w, r));
    EXPECT_EQ(r.length, 0u);
}

TEST(WaveLoader, ResourceLookup) {
    WaveLayout s;
    s.rate = 11025;
    s.data = Bytes(30, 9);
    const std::vector<uint8_t> w = BuildWave(s);
    platform::overrideResource("WAVE", 60001, w);
    SoundRequest r;
    EXPECT_TRUE(LoadWaveResource(60001, r));
    EXPECT_EQ(r.rate, 11025u);
    EXPECT_EQ(r.length, 22u);
    EXPECT_EQ(r.data, w.data() + 44);
    platform::overrideResource("WAVE", 60001, {});
    SoundRequest missing;
    EXPECT_FALSE(LoadWaveResource(60001, missing));
    EXPECT_EQ(missing.data, nullptr);
}

}  // namespace
