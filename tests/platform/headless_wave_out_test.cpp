// The headless wave output plays buffers by the virtual clock, in lock-step with an engine
// that refills every buffer it gets back.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

// 1000 frames a second, stereo: a 100-frame buffer (200 bytes) lasts 100 ms.
constexpr platform::WaveFormat kFormat{1000, 2, 8};
constexpr uint32_t kBytes = 200;

// The sound engine's output thread: refills every returned buffer with the next sequence number.
class FakeEngine {
  public:
    explicit FakeEngine(platform::WaveOut* out, int buffers = 2)
        : out_(out), storage_(buffers, std::vector<uint8_t>(kBytes)) {
        for (auto& b : storage_) fillAndWrite(b.data());
        thread_ = std::thread([this] {
            while (!stop_) {
                out_->waitForDone(5);
                while (uint8_t* p = out_->takeDone()) ++refills_, fillAndWrite(p);
            }
        });
    }
    ~FakeEngine() {
        stop_ = true;
        thread_.join();
    }
    std::atomic<int> refills_{0};

  private:
    void fillAndWrite(uint8_t* p) {
        std::fill(p, p + kBytes, next_++);
        out_->write(p, kBytes);
    }
    platform::WaveOut* out_;
    std::vector<std::vector<uint8_t>> storage_;
    std::atomic<bool> stop_{false};
    uint8_t next_ = 0;
    std::thread thread_;
};

class HeadlessWaveOut : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset();
        out = platform::openWaveOut(kFormat);
        ASSERT_TRUE(out);
        headless::captureAudio(true);
    }
    void TearDown() override { headless::reset(); }
    // The sequence numbers of the captured buffers, one per buffer.
    static std::vector<int> captured() {
        const auto& audio = headless::capturedAudio();
        std::vector<int> seq;
        for (size_t i = 0; i < audio.size(); i += kBytes) seq.push_back(audio[i]);
        return seq;
    }
    std::unique_ptr<platform::WaveOut> out;
};

using Seq = std::vector<int>;

TEST_F(HeadlessWaveOut, BuffersComeBackOnlyWhenTheirPlayingTimeHasEndedInOrderWithRefills) {
    FakeEngine engine(out.get());
    platform::sleepMs(99);
    EXPECT_EQ(captured(), Seq{});
    platform::sleepMs(1);
    EXPECT_EQ(captured(), Seq{0});
    EXPECT_EQ(headless::capturedAudioFormat().rate, 1000u);
    platform::sleepMs(900);  // nine buffers' worth, though only two were ever queued
    EXPECT_EQ(captured(), (Seq{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(engine.refills_, 10);
}

TEST_F(HeadlessWaveOut, SameStepsGiveTheSameBytes) {
    std::vector<uint8_t> runs[2];
    for (auto& run : runs) {
        SetUp();
        FakeEngine engine(out.get(), 3);
        for (int i = 0; i < 37; ++i) platform::sleepMs(17);
        run = headless::capturedAudio();
    }
    EXPECT_EQ(runs[0].size(), 6u * kBytes);  // 629 ms: six whole buffers
    EXPECT_EQ(runs[0], runs[1]);
}

TEST_F(HeadlessWaveOut, PauseStopsRestartPlaysFromNowAndCaptureOnlyWhileSwitchedOn) {
    {
        FakeEngine engine(out.get());
        out->pause();
        platform::sleepMs(500);
        out->restart();
        platform::sleepMs(99);
        EXPECT_EQ(captured(), Seq{});
        platform::sleepMs(1);
        EXPECT_EQ(captured(), Seq{0});
    }
    SetUp();
    headless::captureAudio(false);
    FakeEngine engine(out.get());
    platform::sleepMs(200);
    EXPECT_EQ(captured(), Seq{});
    headless::captureAudio(true);
    platform::sleepMs(100);
    EXPECT_EQ(captured(), Seq{2});
}

// A device that ran dry starts again from the next write; reset drops what is queued.
TEST_F(HeadlessWaveOut, ResetDropsQueuedBuffersWithoutHandingThemBack) {
    std::vector<uint8_t> a(kBytes, 7), b(kBytes, 8);
    platform::sleepMs(500);  // nothing queued all that time
    out->write(a.data(), kBytes);
    out->reset();
    out->write(b.data(), kBytes);
    platform::sleepMs(99);
    EXPECT_EQ(out->takeDone(), nullptr);
    out->reset();
    platform::sleepMs(1000);
    EXPECT_EQ(out->takeDone(), nullptr);
    EXPECT_EQ(captured(), Seq{});
}

TEST_F(HeadlessWaveOut, OpenFailsWithoutDeviceOrWithAFormatItCannotPlay) {
    out.reset();
    headless::setAudioAvailable(false);
    EXPECT_EQ(platform::openWaveOut(kFormat), nullptr);
    headless::setAudioAvailable(true);
    for (const platform::WaveFormat& f :
         {platform::WaveFormat{22050, 2, 16}, {0, 2, 8}, {22050, 0, 8}})
        EXPECT_EQ(platform::openWaveOut(f), nullptr);
    EXPECT_NE(platform::openWaveOut(kFormat), nullptr);
}

}  // namespace
