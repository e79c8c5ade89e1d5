// The five-buffer cycle with the output thread, on a device the test controls, and the
// game's sound facade on the headless backend (virtual clock, captured output).
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/game_sound.h"
#include "audio/sound_engine.h"
#include "audio_builders.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/resource_pack.h"

namespace {

// A device whose buffers come back only when the test says so.
struct DeviceLog {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::string> calls;
    std::vector<std::pair<uint8_t*, uint32_t>> writes;
    std::vector<std::vector<uint8_t>> written;  // contents at the time of the write
    std::deque<uint8_t*> done;

    void HandBack(uint8_t* buffer) {
        std::lock_guard<std::mutex> g(lock);
        done.push_back(buffer);
        changed.notify_all();
    }
    bool WaitForWrites(size_t n) {
        std::unique_lock<std::mutex> g(lock);
        // A generous bound so that a broken thread fails the test instead of hanging it.
        return changed.wait_for(g, std::chrono::seconds(10), [&] { return writes.size() >= n; });
    }
};

class TestDevice : public platform::WaveOut {
  public:
    explicit TestDevice(std::shared_ptr<DeviceLog> log) : log_(std::move(log)) {}
    void write(uint8_t* data, uint32_t bytes) override {
        std::lock_guard<std::mutex> g(log_->lock);
        log_->calls.push_back("write");
        log_->writes.emplace_back(data, bytes);
        log_->written.emplace_back(data, data + bytes);
        log_->changed.notify_all();
    }
    uint8_t* takeDone() override {
        std::lock_guard<std::mutex> g(log_->lock);
        if (log_->done.empty()) return nullptr;
        uint8_t* d = log_->done.front();
        log_->done.pop_front();
        return d;
    }
    void waitForDone(uint32_t ms) override {
        std::unique_lock<std::mutex> g(log_->lock);
        log_->changed.wait_for(g, std::chrono::milliseconds(ms),
                               [&] { return !log_->done.empty(); });
    }
    void pause() override { Call("pause"); }
    void restart() override { Call("restart"); }
    void reset() override { Call("reset"); }

  private:
    void Call(const char* what) {
        std::lock_guard<std::mutex> g(log_->lock);
        log_->calls.push_back(what);
    }
    std::shared_ptr<DeviceLog> log_;
};

TEST(OutputCycle, FiveShortWritesThenFullBuffersInTurn) {
    auto log = std::make_shared<DeviceLog>();
    SoundEngine e;
    ASSERT_TRUE(e.OpenWith(std::make_unique<TestDevice>(log), 22050, true));
    const uint32_t full = 588 * 2;
    {
        std::lock_guard<std::mutex> g(log->lock);
        const std::vector<std::string> expected = {"pause", "write", "write",  "write",
                                                   "write", "write", "restart"};
        EXPECT_EQ(log->calls, expected);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(log->writes[i].first, e.MixMemory() + i * full) << i;
            EXPECT_EQ(log->writes[i].second, 8u) << i;
            for (uint8_t b : log->written[i]) EXPECT_EQ(b, 128);
        }
    }
    EXPECT_FALSE(e.OpenWith(std::make_unique<TestDevice>(log), 22050, true));

    std::vector<uint8_t> sample(2000 + 8, 228);
    SoundRequest r;
    r.data = sample.data();
    r.length = 2000;
    r.rate = 22050;
    ASSERT_EQ(e.StartSample(r), 2);

    // Buffers come back in their own order; each is refilled at full length in place.
    const int order[] = {0, 1, 2, 3, 4, 0};
    for (int n = 0; n < 6; ++n) {
        log->HandBack(log->writes[order[n]].first);
        ASSERT_TRUE(log->WaitForWrites(6 + n));
        std::lock_guard<std::mutex> g(log->lock);
        EXPECT_EQ(log->writes[5 + n].first, e.MixMemory() + order[n] * full);
        EXPECT_EQ(log->writes[5 + n].second, full);
        // 2001 frames of sound: buffers 0..2 full, buffer 3 partly, then silence.
        const std::vector<uint8_t>& w = log->written[5 + n];
        for (uint32_t f = 0; f < 588; ++f) {
            const uint32_t frame = n * 588 + f;
            const uint8_t expected = frame < 2001 ? 178 : 128;
            ASSERT_EQ(w[2 * f], expected) << "buffer " << n << " frame " << f;
            ASSERT_EQ(w[2 * f + 1], expected);
        }
    }
    EXPECT_TRUE(e.Close());
    EXPECT_FALSE(e.IsOpen());
    std::lock_guard<std::mutex> g(log->lock);
    EXPECT_EQ(log->calls.back(), "reset");
}

TEST(OutputCycle, MonoAndOtherRatesUseTheirBufferLength) {
    struct Case {
        uint32_t rate;
        bool stereo;
        uint32_t bytes;
    };
    for (const Case c :
         {Case{11025, false, 298}, Case{44100, true, 2352}, Case{32000, false, 588}}) {
        auto log = std::make_shared<DeviceLog>();
        SoundEngine e;
        ASSERT_TRUE(e.OpenWith(std::make_unique<TestDevice>(log), c.rate, c.stereo));
        log->HandBack(log->writes[4].first);
        ASSERT_TRUE(log->WaitForWrites(6));
        std::lock_guard<std::mutex> g(log->lock);
        EXPECT_EQ(log->writes[5].second, c.bytes) << c.rate;
        EXPECT_EQ(log->writes[5].first, e.MixMemory() + 4 * c.bytes) << c.rate;
    }
}

TEST(OutputCycle, NoDeviceLeavesTheEngineClosed) {
    SoundEngine e;
    EXPECT_FALSE(e.OpenWith(nullptr, 22050, true));
    EXPECT_FALSE(e.IsOpen());
    EXPECT_TRUE(e.Close());
}

// ---------------------------------------------------------------------------

class GameSoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset();
        headless::captureAudio(true);
    }
    void TearDown() override {
        for (int id : {60101, 60102}) platform::overrideResource("WAVE", id, {});
        headless::reset();
    }
    void AddWave(int id, uint8_t value, size_t bytes) {
        audiotest::WaveLayout s;
        s.data.assign(bytes, value);
        waves_.push_back(audiotest::BuildWave(s));
        platform::overrideResource("WAVE", id, waves_.back());
    }
    static void Advance(uint32_t ms) { headless::setNow(headless::now() + ms); }
    // Stereo frames of the captured output whose two sides both equal `value`.
    static size_t FramesAt(uint8_t value, size_t from = 0) {
        const std::vector<uint8_t>& a = headless::capturedAudio();
        size_t n = 0;
        for (size_t i = from & ~size_t{1}; i + 1 < a.size(); i += 2)
            n += a[i] == value && a[i + 1] == value;
        return n;
    }
    static constexpr size_t kLatencyBytes = 5 * 588 * 2;
    std::deque<std::vector<uint8_t>> waves_;
};

TEST_F(GameSoundTest, PlaysAnEffectAtHalfAmplitudeInStereo) {
    AddWave(60101, 228, 1008);
    GameSound gs;
    ASSERT_NE(gs.engine, nullptr);
    ASSERT_TRUE(gs.engine->IsOpen());
    EXPECT_EQ(headless::capturedAudioFormat().rate, 22050u);
    EXPECT_EQ(headless::capturedAudioFormat().channels, 2);
    const uint32_t t0 = headless::now();
    gs.PlaySound(60101, false, false);
    Advance(300);
    // 1008 data bytes: 1001 frames heard, all of them at 128 + 50.
    EXPECT_EQ(FramesAt(178), 1001u);
    ASSERT_EQ(gs.started.size(), 1u);
    EXPECT_EQ(gs.started[0].id, 60101);
    EXPECT_EQ(gs.started[0].tick, t0);
    // About 300 ms of output went out, silence included (the device never stops).
    EXPECT_GT(headless::capturedAudio().size(), 2u * 22050 * 250 / 1000);
}

TEST_F(GameSoundTest, MusicVolumeAppliesToTheNextStartOnly) {
    AddWave(60102, 228, 200000);
    GameSound gs;
    gs.SetMusicVolume(40);
    gs.SetSoundVolume(64);
    gs.PlaySound(60102, true, true);
    Advance(50);
    gs.SetMusicVolume(10);
    const size_t mark = headless::capturedAudio().size();
    Advance(300);
    // 100 x 40 >> 7 = 31 before and after the change.
    EXPECT_GT(FramesAt(159, mark), 6000u);
    EXPECT_EQ(FramesAt(135, mark), 0u);
    {
        std::lock_guard<std::mutex> g(gs.engine->MixerLock());
        EXPECT_EQ(gs.engine->SampleVoiceAt(0).volume, 40u);
    }
    // Stop everything (looped music included); the next start takes the new volume and
    // begins at the first byte. What was already mixed still plays out first: five
    // buffers of latency.
    gs.StopAllSounds();
    const size_t stopped = headless::capturedAudio().size();
    Advance(300);
    EXPECT_EQ(FramesAt(159, stopped + kLatencyBytes), 0u);
    EXPECT_GT(FramesAt(128, stopped + kLatencyBytes), 3000u);
    gs.PlaySound(60102, true, true);
    {
        std::lock_guard<std::mutex> g(gs.engine->MixerLock());
        EXPECT_EQ(gs.engine->SampleVoiceAt(0).volume, 10u);
        EXPECT_EQ(gs.engine->SampleVoiceAt(0).position, 0u);
        EXPECT_EQ(gs.engine->SampleVoiceAt(0).loop, 1);
    }
    const size_t again = headless::capturedAudio().size();
    Advance(300);
    EXPECT_GT(FramesAt(135, again), 3000u);  // 100 x 10 >> 7 = 7
    EXPECT_EQ(FramesAt(159, again), 0u);
}

TEST_F(GameSoundTest, VolumesAreLimitedTo64) {
    AddWave(60101, 228, 5000);
    GameSound gs;
    gs.SetSoundVolume(1000);
    gs.PlaySound(60101, false, false);
    gs.SetSoundVolume(-5);  // taken as unsigned: limited to 64 as well
    gs.PlaySound(60101, false, false);
    std::lock_guard<std::mutex> g(gs.engine->MixerLock());
    EXPECT_EQ(gs.engine->SampleVoiceAt(0).volume, 64u);
    EXPECT_EQ(gs.engine->SampleVoiceAt(1).volume, 64u);
}

TEST_F(GameSoundTest, WithoutADeviceEverythingIsSilentlyIgnored) {
    headless::setAudioAvailable(false);
    AddWave(60101, 228, 1008);
    GameSound gs;
    ASSERT_NE(gs.engine, nullptr);
    EXPECT_FALSE(gs.engine->IsOpen());
    gs.PlaySound(60101, false, false);
    gs.PlaySound(60101, true, true);
    gs.StopAllSounds();
    gs.SetMusicVolume(3);
    Advance(100);
    EXPECT_TRUE(headless::capturedAudio().empty());
    // The simulator still sees what the game asked for.
    ASSERT_EQ(gs.started.size(), 2u);
    EXPECT_EQ(gs.started[1].id, 60101);
}

TEST_F(GameSoundTest, MissingOrBadResourceIsNotPlayed) {
    GameSound gs;
    gs.PlaySound(60999, false, false);
    audiotest::WaveLayout s;
    s.bits = 16;
    s.data.assign(100, 228);
    waves_.push_back(audiotest::BuildWave(s));
    platform::overrideResource("WAVE", 60102, waves_.back());
    gs.PlaySound(60102, false, false);
    Advance(100);
    EXPECT_EQ(gs.started.size(), 2u);
    const std::vector<uint8_t>& a = headless::capturedAudio();
    ASSERT_FALSE(a.empty());
    for (uint8_t b : a) ASSERT_EQ(b, 128);
}

}  // namespace
