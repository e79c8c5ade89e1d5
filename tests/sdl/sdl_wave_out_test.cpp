// The desktop wave output on SDL's "disk" audio driver, which writes everything the
// device plays to a file: the bytes there must be the engine's buffers, in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "audio/sound_engine.h"
#include "platform/platform.h"

namespace {

class SdlWaveOutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = ::testing::TempDir() + "tallreed_disk_audio_" + std::to_string(getpid()) + ".raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "1", 1);
    }
    void TearDown() override {
        std::remove(path_.c_str());
        unsetenv("SDL_AUDIODRIVER");
    }
    std::vector<uint8_t> FileBytes() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Waits until `count` buffers came back or `tries` polls of 5 ms passed; returns them
    // in order. The disk driver plays far faster than real time, so a few polls are plenty
    // to see that nothing comes back.
    static std::vector<uint8_t*> TakeBack(platform::WaveOut& out, size_t count, int tries = 2000) {
        std::vector<uint8_t*> back;
        for (int t = 0; t < tries && back.size() < count; ++t) {
            out.waitForDone(5);
            while (uint8_t* d = out.takeDone()) back.push_back(d);
        }
        return back;
    }
    std::string path_;
};

std::vector<uint8_t> Pattern(size_t n, int seed) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(1 + (i * 7 + seed * 31) % 120);
    return v;
}

TEST_F(SdlWaveOutTest, PlaysBuffersInOrderAndHandsThemBack) {
    std::vector<std::vector<uint8_t>> buffers = {Pattern(1176, 1), Pattern(8, 2), Pattern(1176, 3),
                                                 Pattern(600, 4)};
    {
        std::unique_ptr<platform::WaveOut> out = platform::openWaveOut({22050, 2, 8});
        ASSERT_NE(out, nullptr);
        out->pause();
        for (auto& b : buffers) out->write(b.data(), static_cast<uint32_t>(b.size()));
        out->restart();
        const std::vector<uint8_t*> back = TakeBack(*out, buffers.size());
        ASSERT_EQ(back.size(), buffers.size());
        for (size_t i = 0; i < buffers.size(); ++i) EXPECT_EQ(back[i], buffers[i].data()) << i;
        // Starved: silence goes on being played, nothing else comes back.
        EXPECT_EQ(TakeBack(*out, 1, 40).size(), 0u);
    }
    const std::vector<uint8_t> file = FileBytes();
    std::vector<uint8_t> expected;
    for (auto& b : buffers) expected.insert(expected.end(), b.begin(), b.end());
    size_t start = 0;
    while (start < file.size() && file[start] == 128) ++start;
    ASSERT_GE(file.size(), start + expected.size());
    EXPECT_EQ(start % 2, 0u) << "frames stay aligned";
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), file.begin() + start));
    for (size_t i = start + expected.size(); i < file.size(); ++i) ASSERT_EQ(file[i], 128) << i;
}

TEST_F(SdlWaveOutTest, ResetDropsQueuedBuffersWithoutHandingThemBack) {
    std::vector<uint8_t> dropped = Pattern(4000, 5);
    std::vector<uint8_t> kept = Pattern(500, 6);
    {
        std::unique_ptr<platform::WaveOut> out = platform::openWaveOut({11025, 1, 8});
        ASSERT_NE(out, nullptr);
        out->pause();
        out->write(dropped.data(), static_cast<uint32_t>(dropped.size()));
        EXPECT_EQ(TakeBack(*out, 1, 40).size(), 0u) << "nothing is played while paused";
        out->reset();
        out->write(kept.data(), static_cast<uint32_t>(kept.size()));
        out->restart();
        const std::vector<uint8_t*> back = TakeBack(*out, 1);
        ASSERT_EQ(back.size(), 1u);
        EXPECT_EQ(back[0], kept.data());
        EXPECT_EQ(out->takeDone(), nullptr);
    }
    const std::vector<uint8_t> file = FileBytes();
    size_t start = 0;
    while (start < file.size() && file[start] == 128) ++start;
    ASSERT_GE(file.size(), start + kept.size());
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), file.begin() + start));
}

TEST_F(SdlWaveOutTest, NoDeviceOrUnusableFormatGivesNothing) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(platform::openWaveOut({22050, 2, 8}), nullptr);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    EXPECT_EQ(platform::openWaveOut({22050, 2, 16}), nullptr);
    EXPECT_EQ(platform::openWaveOut({22050, 0, 8}), nullptr);
    EXPECT_EQ(platform::openWaveOut({0, 2, 8}), nullptr);
    // And a good one still opens afterwards.
    EXPECT_NE(platform::openWaveOut({44100, 2, 8}), nullptr);
}

TEST_F(SdlWaveOutTest, TheEnginePlaysThroughTheDevice) {
    // 1008 bytes of +100: 1001 frames at half amplitude, left and right, one after the
    // other in the middle of the silence the device plays before and after.
    std::vector<uint8_t> sound(1008, 228);
    auto loudFrames = [&](const std::vector<uint8_t>& bytes) {
        size_t first = bytes.size(), count = 0, last = 0;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            if (bytes[i] == 178 && bytes[i + 1] == 178) {
                first = std::min(first, i);
                last = i;
                ++count;
            }
        }
        return std::make_pair(count, count ? (last - first) / 2 + 1 : 0);
    };
    SoundEngine engine;
    ASSERT_TRUE(engine.Open(22050, true));
    SoundRequest r;
    r.data = sound.data();
    r.length = 1000;
    r.rate = 22050;
    ASSERT_EQ(engine.StartSample(r), 2);
    // The device plays on its own thread; wait (bounded) until all of it is in the file.
    for (int tries = 0; tries < 2500 && loudFrames(FileBytes()).first < 1001; ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_TRUE(engine.Close());
    const auto [count, spread] = loudFrames(FileBytes());
    EXPECT_EQ(count, 1001u);
    EXPECT_EQ(spread, 1001u) << "the frames of the sound are played in one piece";
}

}  // namespace
