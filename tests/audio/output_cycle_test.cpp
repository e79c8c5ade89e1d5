// The five-buffer cycle with the output thread, on a device the test controls, and the
// game's sound facade on the headless backend (virtual clock, captured output).
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "audio/game_sound.h"
#include "audio/sound_engine.h"
#include "audio_builders.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/resource_pack.h"

namespace {

// What the engine did to the device, and the buffers the test hands back.
struct DeviceLog {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::string> calls;
    std::vector<const uint8_t*> writes;
    std::vector<std::vector<uint8_t>> written;  // contents at the time of the write
    std::deque<uint8_t*> done;
};

class TestDevice : public platform::WaveOut {
  public:
    explicit TestDevice(std::shared_ptr<DeviceLog> log) : log_(std::move(log)) {}
    void write(uint8_t* data, uint32_t bytes) override {
        std::lock_guard<std::mutex> g(log_->lock);
        log_->calls.push_back("write");
        log_->writes.push_back(data);
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
    EXPECT_FALSE(e.OpenWith(nullptr, 22050, true));
    ASSERT_TRUE(e.OpenWith(std::make_unique<TestDevice>(log), 22050, true));
    const uint32_t full = 588 * 2;
    {
        std::lock_guard<std::mutex> g(log->lock);
        const std::vector<std::string> expected = {"pause", "write", "write",  "write",
                                                   "write", "write", "restart"};
        EXPECT_EQ(log->calls, expected);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(log->writes[i], e.MixMemory() + i * full) << i;
            EXPECT_EQ(log->written[i], std::vector<uint8_t>(8, 128)) << i;
        }
    }
    std::vector<uint8_t> sample(2000 + 8, 228);
    SoundRequest r;
    audiotest::SetRequest(r, sample.data(), 2000, 22050);
    ASSERT_EQ(e.StartSample(r), 2);
    // Buffers come back in their own order; each is refilled at full length in place.
    const int order[] = {0, 1, 2, 3, 4, 0};
    for (int n = 0; n < 6; ++n) {
        std::unique_lock<std::mutex> g(log->lock);
        log->done.push_back(const_cast<uint8_t*>(log->writes[order[n]]));
        log->changed.notify_all();
        // A generous bound so that a broken thread fails the test instead of hanging it.
        ASSERT_TRUE(log->changed.wait_for(g, std::chrono::seconds(10),
                                          [&] { return log->writes.size() >= 6u + n; }));
        EXPECT_EQ(log->writes[5 + n], e.MixMemory() + order[n] * full);
        const std::vector<uint8_t>& w = log->written[5 + n];
        ASSERT_EQ(w.size(), full);
        for (uint32_t i = 0; i < full; ++i)  // 2001 frames of sound, then silence
            ASSERT_EQ(w[i], n * 588 + i / 2 < 2001 ? 178 : 128) << "buffer " << n << " byte " << i;
    }
    EXPECT_TRUE(e.Close());
    std::lock_guard<std::mutex> g(log->lock);
    EXPECT_EQ(log->calls.back(), "reset");
}

// A device like the browser's: no output thread, it calls the engine's refill itself.
class PumpingDevice : public TestDevice {
  public:
    explicit PumpingDevice(std::shared_ptr<DeviceLog> log) : TestDevice(std::move(log)) {}
    bool pumpsItself(void (*refill)(void*), void* context) override {
        refill_ = refill;
        context_ = context;
        return true;
    }
    void reset() override {
        refill_ = nullptr;
        TestDevice::reset();
    }
    void Pump() {
        if (refill_ != nullptr) refill_(context_);
    }

  private:
    void (*refill_)(void*) = nullptr;
    void* context_ = nullptr;
};

TEST(OutputCycle, ADeviceThatPumpsItselfIsRefilledOnlyWhenItAsks) {
    auto log = std::make_shared<DeviceLog>();
    auto owned = std::make_unique<PumpingDevice>(log);
    PumpingDevice* device = owned.get();
    SoundEngine e;
    ASSERT_TRUE(e.OpenWith(std::move(owned), 22050, false));
    std::vector<uint8_t> sample(700 + 8, 228);
    SoundRequest r;
    audiotest::SetRequest(r, sample.data(), 700, 22050);
    ASSERT_EQ(e.StartSample(r), 2);
    {
        std::lock_guard<std::mutex> g(log->lock);
        log->done.push_back(const_cast<uint8_t*>(log->writes[0]));
        log->done.push_back(const_cast<uint8_t*>(log->writes[1]));
    }
    // No thread of the engine's may take the buffers: they stay until the device pumps.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    {
        std::lock_guard<std::mutex> g(log->lock);
        EXPECT_EQ(log->writes.size(), 5u);
    }
    device->Pump();
    {
        std::lock_guard<std::mutex> g(log->lock);
        ASSERT_EQ(log->writes.size(), 7u);
        EXPECT_TRUE(log->done.empty());
        EXPECT_EQ(log->writes[5], e.MixMemory());
        EXPECT_EQ(log->writes[6], e.MixMemory() + 588);
        const std::vector<uint8_t>& second = log->written[6];
        ASSERT_EQ(second.size(), 588u);
        // 701 frames of sound: the whole first buffer and 113 frames of the second.
        EXPECT_EQ(second[112], 178);
        EXPECT_EQ(second[113], 128);
    }
    device->Pump();  // nothing came back: nothing is written
    EXPECT_TRUE(e.Close());
    std::lock_guard<std::mutex> g(log->lock);
    EXPECT_EQ(log->writes.size(), 7u);
    EXPECT_EQ(log->calls.back(), "reset") << "the device drops the engine before it goes";
}

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
    void AddWave(int id, uint8_t value, size_t bytes, uint16_t bits = 8) {
        audiotest::WaveLayout wave;
        wave.bits = bits;
        wave.data.assign(bytes, value);
        waves_.push_back(audiotest::BuildWave(wave));
        platform::overrideResource("WAVE", id, waves_.back());
    }
    static void Advance(uint32_t ms) { headless::setNow(headless::now() + ms); }
    // Stereo frames of the captured output, from byte `from`, with both sides at `value`.
    static size_t FramesAt(uint8_t value, size_t from = 0) {
        const std::vector<uint8_t>& a = headless::capturedAudio();
        size_t n = 0;
        for (size_t i = from & ~size_t{1}; i + 1 < a.size(); i += 2)
            n += a[i] == value && a[i + 1] == value;
        return n;
    }
    // More than `least` frames at `level` from byte `mark` on, and none at `absent`.
    static void ExpectFrames(size_t mark, uint8_t level, size_t least, uint8_t absent) {
        EXPECT_GT(FramesAt(level, mark), least) << int(level);
        EXPECT_EQ(FramesAt(absent, mark), 0u) << int(absent);
    }
    uint32_t VoiceVolume(GameSound& gs, int voice) {
        std::lock_guard<std::mutex> g(gs.engine->MixerLock());
        return gs.engine->SampleVoiceAt(voice).volume;
    }
    std::deque<std::vector<uint8_t>> waves_;
};

TEST_F(GameSoundTest, TheEngineOpensAMonoDeviceAsWellAsAStereoOne) {
    for (bool stereo : {false, true}) {
        SoundEngine e;
        ASSERT_TRUE(e.Open(22050, stereo)) << stereo;
        EXPECT_EQ(headless::capturedAudioFormat().channels, stereo ? 2 : 1);
        e.Close();
    }
}

TEST_F(GameSoundTest, PlaysEffectsAtHalfAmplitudeAndSkipsBadOnes) {
    AddWave(60101, 228, 1008);
    AddWave(60102, 228, 100, 16);
    GameSound::recordStarts = true;
    GameSound gs;
    ASSERT_TRUE(gs.engine->IsOpen());
    const auto format = headless::capturedAudioFormat();
    EXPECT_TRUE(format.rate == 22050u && format.channels == 2);
    gs.PlaySound(60999, false, false);  // missing
    gs.PlaySound(60102, false, false);  // 16-bit
    gs.SetSoundVolume(-5);              // taken as unsigned: limited to 64
    gs.PlaySound(60101, false, false);
    EXPECT_EQ(VoiceVolume(gs, 0), 64u);
    Advance(300);
    EXPECT_EQ(FramesAt(178), 1001u);  // 1008 data bytes: 1001 frames at 128 + 50
    EXPECT_EQ(FramesAt(178) + FramesAt(128), headless::capturedAudio().size() / 2);
    EXPECT_GT(headless::capturedAudio().size(), 2u * 22050 * 250 / 1000)
        << "the device never stops";
    ASSERT_EQ(gs.started.size(), 3u);
    EXPECT_EQ(gs.started[2].id, 60101);
}

TEST_F(GameSoundTest, MusicVolumeAppliesToTheNextStartOnlyAndStopAllStops) {
    AddWave(60102, 228, 200000);
    GameSound::recordStarts = true;
    GameSound gs;
    gs.SetMusicVolume(40);
    gs.PlaySound(60102, true, true);
    Advance(50);
    gs.SetMusicVolume(10);
    size_t mark = headless::capturedAudio().size();
    Advance(300);
    ExpectFrames(mark, 159, 6000, 135);  // 100 x 40 >> 7 = 31 before and after the change
    gs.StopAllSounds();
    // What was already mixed still plays out first: five buffers of latency.
    mark = headless::capturedAudio().size() + 5 * 588 * 2;
    Advance(300);
    ExpectFrames(mark, 128, 3000, 159);
    gs.PlaySound(60102, true, true);
    EXPECT_EQ(VoiceVolume(gs, 0), 10u);
    mark = headless::capturedAudio().size();
    Advance(300);
    ExpectFrames(mark, 135, 3000, 159);  // 100 x 10 >> 7 = 7
}

TEST_F(GameSoundTest, WithoutADeviceEverythingIsSilentlyIgnored) {
    headless::setAudioAvailable(false);
    AddWave(60101, 228, 1008);
    GameSound::recordStarts = true;
    GameSound gs;
    EXPECT_FALSE(gs.engine->IsOpen());
    gs.PlaySound(60101, true, true);
    gs.StopAllSounds();
    Advance(100);
    EXPECT_TRUE(headless::capturedAudio().empty());
    EXPECT_EQ(gs.started.size(), 1u) << "the simulator still sees what the game asked for";
    GameSound::recordStarts = false;
    gs.PlaySound(60101, false, false);
    EXPECT_EQ(gs.started.size(), 1u) << "the game itself keeps no record";
}

}  // namespace
