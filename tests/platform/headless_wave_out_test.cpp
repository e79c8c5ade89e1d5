// The headless wave output plays buffers by the virtual clock, in lock-step with an
// engine that refills every buffer it gets back.
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

// A stand-in for the sound engine's output thread: fills every returned buffer with
// the next sequence number and writes it again.
class FakeEngine {
  public:
    explicit FakeEngine(platform::WaveOut* out, int buffers = 2) : out_(out) {
        storage_.resize(buffers, std::vector<uint8_t>(kBytes));
        for (auto& b : storage_) {
            std::fill(b.begin(), b.end(), next_++);
            out_->write(b.data(), kBytes);
        }
        thread_ = std::thread([this] {
            while (!stop_) {
                out_->waitForDone(5);
                while (uint8_t* p = out_->takeDone()) {
                    std::fill(p, p + kBytes, next_++);
                    ++refills_;
                    out_->write(p, kBytes);
                }
            }
        });
    }
    ~FakeEngine() {
        stop_ = true;
        thread_.join();
    }
    int refills() const { return refills_; }

  private:
    platform::WaveOut* out_;
    std::vector<std::vector<uint8_t>> storage_;
    std::atomic<bool> stop_{false};
    std::atomic<int> refills_{0};
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
    std::unique_ptr<platform::WaveOut> out;
};

// The sequence numbers of the captured buffers, one per buffer.
std::vector<int> capturedSequence() {
    const auto& audio = headless::capturedAudio();
    std::vector<int> seq;
    for (size_t i = 0; i < audio.size(); i += kBytes) seq.push_back(audio[i]);
    return seq;
}

TEST_F(HeadlessWaveOut, BuffersComeBackOnlyWhenTheirPlayingTimeHasEndedInOrderWithRefills) {
    FakeEngine engine(out.get());
    platform::sleepMs(99);
    EXPECT_TRUE(headless::capturedAudio().empty());
    platform::sleepMs(1);
    EXPECT_EQ(capturedSequence(), std::vector<int>({0}));
    EXPECT_EQ(headless::capturedAudioFormat().rate, 1000u);
    platform::sleepMs(900);  // nine buffers' worth, though only two were ever queued
    EXPECT_EQ(capturedSequence(), std::vector<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(engine.refills(), 10);
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

TEST_F(HeadlessWaveOut, PauseStopsAndRestartPlaysFromNow) {
    FakeEngine engine(out.get());
    out->pause();
    platform::sleepMs(500);
    EXPECT_TRUE(headless::capturedAudio().empty());
    out->restart();
    platform::sleepMs(99);
    EXPECT_TRUE(headless::capturedAudio().empty());
    platform::sleepMs(1);
    EXPECT_EQ(capturedSequence(), std::vector<int>({0}));
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
    EXPECT_TRUE(headless::capturedAudio().empty());
}

TEST_F(HeadlessWaveOut, CaptureOnlyWhileSwitchedOn) {
    headless::captureAudio(false);
    FakeEngine engine(out.get());
    platform::sleepMs(200);
    EXPECT_TRUE(headless::capturedAudio().empty());
    headless::captureAudio(true);
    platform::sleepMs(100);
    EXPECT_EQ(capturedSequence(), std::vector<int>({2}));
}

TEST_F(HeadlessWaveOut, OpenFailsWithoutDeviceOrWithAFormatItCannotPlay) {
    out.reset();
    headless::setAudioAvailable(false);
    EXPECT_EQ(platform::openWaveOut(kFormat), nullptr);
    headless::setAudioAvailable(true);
    const platform::WaveFormat bad[] = {{22050, 2, 16}, {0, 2, 8}, {22050, 0, 8}};
    for (const auto& f : bad) EXPECT_EQ(platform::openWaveOut(f), nullptr);
    EXPECT_NE(platform::openWaveOut(kFormat), nullptr);
}

}  // namespace
