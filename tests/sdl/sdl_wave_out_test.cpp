// The desktop wave output on SDL's "disk" audio driver, which writes everything the
// device plays to a file: the bytes there must be the engine's buffers, in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
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
    // The played bytes after the leading silence; the offset is kept frame-aligned.
    std::vector<uint8_t> PlayedAfterSilence() const {
        std::ifstream in(path_, std::ios::binary);
        std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), {}};
        const auto start =
            std::find_if(file.begin(), file.end(), [](uint8_t b) { return b != 128; });
        EXPECT_EQ((start - file.begin()) % 2, 0) << "frames stay aligned";
        return {start, file.end()};
    }
    // Waits for up to `count` buffers through the device's own wait (until SDL next asks
    // for sound): the disk driver plays far faster than real time, so a few tries show
    // that nothing comes back.
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

TEST_F(SdlWaveOutTest, PlaysBuffersInOrderHandsThemBackAndResetDropsTheQueue) {
    std::vector<std::vector<uint8_t>> buffers = {Pattern(1176, 1), Pattern(8, 2), Pattern(600, 3)};
    std::vector<uint8_t> dropped = Pattern(4000, 4);
    {
        std::unique_ptr<platform::WaveOut> out = platform::openWaveOut({22050, 2, 8});
        ASSERT_NE(out, nullptr);
        out->pause();
        out->write(dropped.data(), static_cast<uint32_t>(dropped.size()));
        EXPECT_TRUE(TakeBack(*out, 1, 40).empty()) << "nothing is played while paused";
        out->reset();
        for (auto& b : buffers) out->write(b.data(), static_cast<uint32_t>(b.size()));
        out->restart();
        const std::vector<uint8_t*> back = TakeBack(*out, buffers.size());
        ASSERT_EQ(back.size(), buffers.size());
        for (size_t i = 0; i < buffers.size(); ++i) EXPECT_EQ(back[i], buffers[i].data()) << i;
        EXPECT_TRUE(TakeBack(*out, 1, 40).empty()) << "starved: silence, nothing comes back";
    }
    std::vector<uint8_t> expected;
    for (auto& b : buffers) expected.insert(expected.end(), b.begin(), b.end());
    const std::vector<uint8_t> played = PlayedAfterSilence();
    ASSERT_GE(played.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), played.begin()));
    EXPECT_TRUE(std::all_of(played.begin() + expected.size(), played.end(),
                            [](uint8_t b) { return b == 128; }));
}

TEST_F(SdlWaveOutTest, NoDeviceOrUnusableFormatGivesNothing) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(platform::openWaveOut({22050, 2, 8}), nullptr);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    for (const platform::WaveFormat& f :
         {platform::WaveFormat{22050, 2, 16}, {22050, 0, 8}, {0, 2, 8}})
        EXPECT_EQ(platform::openWaveOut(f), nullptr);
    EXPECT_NE(platform::openWaveOut({44100, 2, 8}), nullptr) << "and a good one opens afterwards";
}

// The device, counting the buffers the engine's output thread took back.
class CountingDevice : public platform::WaveOut {
  public:
    explicit CountingDevice(std::unique_ptr<platform::WaveOut> d) : d_(std::move(d)) {}
    void write(uint8_t* data, uint32_t bytes) override { d_->write(data, bytes); }
    uint8_t* takeDone() override {
        uint8_t* b = d_->takeDone();
        std::lock_guard<std::mutex> g(lock_);
        taken_ += b != nullptr;
        changed_.notify_all();
        return b;
    }
    void waitForDone(uint32_t ms) override { d_->waitForDone(ms); }
    void pause() override { d_->pause(); }
    void restart() override { d_->restart(); }
    void reset() override { d_->reset(); }
    // False when `more` buffers did not come back within a generous bound.
    bool WaitForMore(int more) {
        std::unique_lock<std::mutex> g(lock_);
        const int target = taken_ + more;
        return changed_.wait_for(g, std::chrono::seconds(10), [&] { return taken_ >= target; });
    }

  private:
    std::unique_ptr<platform::WaveOut> d_;
    std::mutex lock_;
    std::condition_variable changed_;
    int taken_ = 0;
};

TEST_F(SdlWaveOutTest, TheEnginePlaysThroughTheDeviceInOnePiece) {
    std::unique_ptr<platform::WaveOut> inner = platform::openWaveOut({22050, 2, 8});
    ASSERT_NE(inner, nullptr);
    auto device = std::make_unique<CountingDevice>(std::move(inner));
    CountingDevice* counting = device.get();
    SoundEngine engine;
    ASSERT_TRUE(engine.OpenWith(std::move(device), 22050, true));
    std::vector<uint8_t> sound(1008, 228);  // 1001 frames of +100: half amplitude is 178
    SoundRequest r;
    r.data = sound.data();
    r.length = 1000;
    r.rate = 22050;
    ASSERT_EQ(engine.StartSample(r), 2);
    // Once ten buffers came back after the start, the sound (in at most three) was played.
    ASSERT_TRUE(counting->WaitForMore(10));
    EXPECT_TRUE(engine.Close());
    const std::vector<uint8_t> played = PlayedAfterSilence();
    size_t loud = 0;
    while (loud + 1 < played.size() && played[loud] == 178 && played[loud + 1] == 178) loud += 2;
    EXPECT_EQ(loud / 2, 1001u) << "the frames of the sound come first and in one piece";
    EXPECT_EQ(std::count(played.begin(), played.end(), 178), 2002);
}

}  // namespace
