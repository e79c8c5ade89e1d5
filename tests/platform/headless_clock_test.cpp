// The headless backend's virtual clock, message queue and window picture.
#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

using platform::Message;
using platform::MSG_KEYDOWN, platform::MSG_TIMER;

class HeadlessClock : public ::testing::Test {
  protected:
    void SetUp() override { headless::reset(); }
    void TearDown() override { headless::reset(); }
    // The next message must be `message`, arriving at virtual time `tick`.
    static void expectNext(uint32_t message, uint32_t tick) {
        Message m;
        EXPECT_TRUE(platform::getMessage(m));
        EXPECT_EQ(m.message, message) << tick;
        EXPECT_EQ(platform::tickCount(), tick);
    }
    // Counts the messages until the wait ends, and checks it stays ended.
    static int messagesUntilTheEnd() {
        int count = 0;
        Message m;
        while (platform::getMessage(m)) ++count;
        EXPECT_FALSE(platform::getMessage(m));
        return count;
    }
};

TEST_F(HeadlessClock, SleepAdvancesAndAZeroPeriodTimerIsRefused) {
    EXPECT_EQ(platform::tickCount(), 1000000u);
    platform::sleepMs(250);
    EXPECT_EQ(platform::tickCount(), 1000250u);
    headless::setNow(42);
    EXPECT_EQ(platform::tickCount(), 42u);
    EXPECT_FALSE(platform::startTimer(0));
    EXPECT_EQ(headless::timerPeriod(), 0u);
}

// The timer ticks every period when nothing else is queued; a message due with a tick comes first.
TEST_F(HeadlessClock, QueuedMessagesArriveAtTheirTimeInQueueOrder) {
    ASSERT_TRUE(platform::startTimer(10));
    headless::postMessage(Message{MSG_KEYDOWN, 13, 0}, 1000030);
    headless::postMessage(Message{MSG_KEYDOWN, 37, 0}, 1000015);
    headless::postMessage(Message{platform::MSG_KEYUP, 37, 0}, 1000015);
    headless::postMessage(Message{platform::MSG_LBUTTONDOWN, 0, 0}, 1000005);
    const uint32_t expected[][2] = {
        {platform::MSG_LBUTTONDOWN, 1000005},
        {MSG_TIMER, 1000010},
        {MSG_KEYDOWN, 1000015},
        {platform::MSG_KEYUP, 1000015},
        {MSG_TIMER, 1000020},
        {MSG_KEYDOWN, 1000030},
        {MSG_TIMER, 1000030},
        {MSG_TIMER, 1000040},
    };
    for (const auto& [message, tick] : expected) expectNext(message, tick);
}

TEST_F(HeadlessClock, LateTimerIsReportedOnceAndStaysOnItsGridAlsoAcrossTheWrap) {
    ASSERT_TRUE(platform::startTimer(10));
    platform::sleepMs(35);  // three ticks missed
    expectNext(MSG_TIMER, 1000035);
    expectNext(MSG_TIMER, 1000040);
    headless::reset(0xFFFFFFF0u);
    ASSERT_TRUE(platform::startTimer(10));
    headless::postMessage(Message{MSG_KEYDOWN, 13, 0}, 0x00000005u);  // after the wrap
    expectNext(MSG_TIMER, 0xFFFFFFFAu);
    expectNext(MSG_TIMER, 0x00000004u);
    expectNext(MSG_KEYDOWN, 0x00000005u);
}

TEST_F(HeadlessClock, QuitOrTheIdleLimitEndsTheWaitAndNothingToWaitForEndsItAtOnce) {
    EXPECT_EQ(messagesUntilTheEnd(), 0);  // no timer, nothing queued: no hang
    ASSERT_TRUE(platform::startTimer(10));
    headless::postMessage(Message{MSG_KEYDOWN, 13, 0});
    headless::postQuit();
    EXPECT_EQ(messagesUntilTheEnd(), 1);  // the key before it
    headless::reset();
    ASSERT_TRUE(platform::startTimer(10));
    headless::postQuit(1000030);
    EXPECT_EQ(messagesUntilTheEnd(), 2);  // at 30 the queued quit comes before that tick
    EXPECT_EQ(platform::tickCount(), 1000030u);
    headless::reset();
    ASSERT_TRUE(platform::startTimer(10));
    headless::setIdleLimit(1000025);
    EXPECT_EQ(messagesUntilTheEnd(), 2);
    EXPECT_EQ(platform::tickCount(), 1000025u);
}

TEST_F(HeadlessClock, FilterSwallowsMarkersBetweenFrames) {
    ASSERT_TRUE(platform::startTimer(10));
    std::vector<uint32_t> seenAt;
    headless::setMessageFilter([&](const Message& m) {
        if (m.message < 0x8000) return false;
        seenAt.push_back(platform::tickCount());
        return true;
    });
    headless::postMessage(Message{0x8001, 0, 0}, 1000012);
    expectNext(MSG_TIMER, 1000010);
    expectNext(MSG_TIMER, 1000020);
    EXPECT_EQ(seenAt, std::vector<uint32_t>{1000012});
}

TEST_F(HeadlessClock, AResetLeavesAFreshWindowThatNobodyHasCreated) {
    ASSERT_TRUE(platform::createWindow());
    std::vector<uint16_t> back(240 * 320, 0xFFFF);
    platform::presentAll(back.data(), 240 * 2);
    platform::messageBox("text", "", platform::BoxIcon::Stop);
    headless::reset();
    EXPECT_FALSE(headless::windowCreated());
    EXPECT_EQ(headless::presentCount() + headless::messageBoxes().size(), 0u);
    EXPECT_EQ(headless::windowDevicePixels(), std::vector<uint16_t>(240 * 320, 0));
}

TEST_F(HeadlessClock, PresentedRectanglesReachTheWindowClippedAndTurned) {
    std::vector<uint16_t> back(240 * 320, 0xFFFF);
    const platform::PresentRect rects[] = {
        {10, 20, 12, 23},   {-50, -50, 2, 2},  {238, 318, 400, 400},
        {100, 100, 50, 50}, {300, 0, 400, 10},
    };
    platform::present(back.data(), 240 * 2, rects, 5);
    EXPECT_EQ(headless::presentCount(), 1u);
    const int pixels[][3] = {
        {10, 20, 1}, {11, 22, 1}, {11, 23, 0},   {12, 20, 0},   {10, 19, 0}, {0, 0, 1},
        {1, 1, 1},   {2, 2, 0},   {239, 319, 1}, {100, 100, 0},  // the inverted one copies nothing
    };
    for (const auto& [x, y, shown] : pixels)
        EXPECT_EQ(headless::windowDevicePixels()[y * 240 + x], shown ? 0xFFFF : 0) << x << "," << y;
    back.assign(240 * 320, 0);
    back[0] = 0xF800;              // device top-left: red
    back[319 * 240 + 0] = 0x07E0;  // device (0, 319): green
    back[5 * 240 + 7] = 0x001F;    // device (7, 5): blue
    platform::presentAll(back.data(), 240 * 2);
    const std::vector<uint8_t> rgb = headless::windowLandscapeRGB();
    ASSERT_EQ(rgb.size(), 320u * 240 * 3);
    auto at = [&](int lx, int ly) { return &rgb[(ly * 320 + lx) * 3]; };
    EXPECT_EQ(at(319, 0)[0], 255);
    EXPECT_EQ(at(0, 0)[1], 255);
    EXPECT_EQ(at(314, 7)[2], 255);
    EXPECT_EQ(at(0, 0)[0], 0);
}

}  // namespace
