// The headless backend's virtual clock, message queue and window picture.
#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

using platform::Message;

class HeadlessClock : public ::testing::Test {
  protected:
    void SetUp() override { headless::reset(); }
    void TearDown() override { headless::reset(); }

    static Message next() {
        Message m;
        EXPECT_TRUE(platform::getMessage(m));
        return m;
    }
};

TEST_F(HeadlessClock, StartsAtTheChosenTickAndSleepAdvances) {
    EXPECT_EQ(platform::tickCount(), 1000000u);
    platform::sleepMs(250);
    EXPECT_EQ(platform::tickCount(), 1000250u);
    headless::reset(42);
    EXPECT_EQ(platform::tickCount(), 42u);
    headless::setNow(5000);
    EXPECT_EQ(headless::now(), 5000u);
}

TEST_F(HeadlessClock, TimerTicksEveryPeriodWhenNothingElseIsQueued) {
    ASSERT_TRUE(platform::startTimer(10));
    for (uint32_t i = 1; i <= 5; ++i) {
        const Message m = next();
        EXPECT_EQ(m.message, platform::MSG_TIMER);
        EXPECT_EQ(platform::tickCount(), 1000000u + 10 * i);
    }
}

TEST_F(HeadlessClock, ZeroPeriodTimerIsRefused) {
    EXPECT_FALSE(platform::startTimer(0));
    EXPECT_EQ(headless::timerPeriod(), 0u);
}

TEST_F(HeadlessClock, QueuedMessagesArriveAtTheirTimeInQueueOrder) {
    ASSERT_TRUE(platform::startTimer(10));
    headless::postMessage(Message{platform::MSG_KEYDOWN, 37, 0}, 1000015);
    headless::postMessage(Message{platform::MSG_KEYUP, 37, 0}, 1000015);
    headless::postMessage(Message{platform::MSG_LBUTTONDOWN, 0, platform::packPoint(3, 4)},
                          1000005);
    struct Expect {
        uint32_t message;
        uint32_t tick;
    };
    const Expect expected[] = {
        {platform::MSG_LBUTTONDOWN, 1000005}, {platform::MSG_TIMER, 1000010},
        {platform::MSG_KEYDOWN, 1000015},     {platform::MSG_KEYUP, 1000015},
        {platform::MSG_TIMER, 1000020},
    };
    for (const Expect& e : expected) {
        const Message m = next();
        EXPECT_EQ(m.message, e.message);
        EXPECT_EQ(platform::tickCount(), e.tick);
    }
}

TEST_F(HeadlessClock, MessageDueWithATimerTickComesFirst) {
    ASSERT_TRUE(platform::startTimer(10));
    headless::postMessage(Message{platform::MSG_KEYDOWN, 13, 0}, 1000010);
    EXPECT_EQ(next().message, platform::MSG_KEYDOWN);
    EXPECT_EQ(next().message, platform::MSG_TIMER);
    EXPECT_EQ(platform::tickCount(), 1000010u);
}

TEST_F(HeadlessClock, LateTimerIsReportedOnceAndStaysOnItsGrid) {
    ASSERT_TRUE(platform::startTimer(10));
    platform::sleepMs(35);  // three ticks missed
    EXPECT_EQ(next().message, platform::MSG_TIMER);
    EXPECT_EQ(platform::tickCount(), 1000035u);
    EXPECT_EQ(next().message, platform::MSG_TIMER);
    EXPECT_EQ(platform::tickCount(), 1000040u);
}

TEST_F(HeadlessClock, QuitEndsAfterEarlierMessagesAndStays) {
    ASSERT_TRUE(platform::startTimer(10));
    headless::postMessage(Message{platform::MSG_KEYDOWN, 13, 0});
    headless::postQuit();
    EXPECT_EQ(next().message, platform::MSG_KEYDOWN);
    Message m;
    EXPECT_FALSE(platform::getMessage(m));
    EXPECT_FALSE(platform::getMessage(m));
}

TEST_F(HeadlessClock, QuitAtALaterTimeLetsTheTimerRunUntilThen) {
    ASSERT_TRUE(platform::startTimer(10));
    headless::postQuit(1000030);
    int timers = 0;
    Message m;
    while (platform::getMessage(m)) ++timers;
    // Ticks at 10 and 20; at 30 the queued quit comes before that moment's tick.
    EXPECT_EQ(timers, 2);
    EXPECT_EQ(platform::tickCount(), 1000030u);
}

TEST_F(HeadlessClock, IdleLimitEndsTheWait) {
    ASSERT_TRUE(platform::startTimer(10));
    headless::setIdleLimit(1000025);
    int timers = 0;
    Message m;
    while (platform::getMessage(m)) ++timers;
    EXPECT_EQ(timers, 2);
    EXPECT_EQ(platform::tickCount(), 1000025u);
}

TEST_F(HeadlessClock, NothingCanArriveMeansNoHang) {
    Message m;
    EXPECT_FALSE(platform::getMessage(m));
}

TEST_F(HeadlessClock, OrderSurvivesTheTickCountWrapping) {
    headless::reset(0xFFFFFFF0u);
    ASSERT_TRUE(platform::startTimer(10));
    headless::postMessage(Message{platform::MSG_KEYDOWN, 13, 0}, 0x00000005u);  // after wrap
    EXPECT_EQ(next().message, platform::MSG_TIMER);
    EXPECT_EQ(platform::tickCount(), 0xFFFFFFFAu);
    EXPECT_EQ(next().message, platform::MSG_TIMER);
    EXPECT_EQ(platform::tickCount(), 0x00000004u);
    EXPECT_EQ(next().message, platform::MSG_KEYDOWN);
    EXPECT_EQ(platform::tickCount(), 0x00000005u);
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
    EXPECT_EQ(next().message, platform::MSG_TIMER);  // 10
    EXPECT_EQ(next().message, platform::MSG_TIMER);  // 20; the marker went by at 12
    ASSERT_EQ(seenAt.size(), 1u);
    EXPECT_EQ(seenAt[0], 1000012u);
}

// The window holds what was presented, turned the way the player sees it.
TEST_F(HeadlessClock, PresentedRectanglesReachTheWindowOnly) {
    std::vector<uint16_t> back(240 * 320, 0x1234);
    const platform::PresentRect r{10, 20, 12, 23};
    platform::present(back.data(), 240 * 2, &r, 1);
    const auto& win = headless::windowDevicePixels();
    EXPECT_EQ(win[20 * 240 + 10], 0x1234);
    EXPECT_EQ(win[22 * 240 + 11], 0x1234);
    EXPECT_EQ(win[23 * 240 + 11], 0);  // bottom is exclusive
    EXPECT_EQ(win[20 * 240 + 12], 0);  // right is exclusive
    EXPECT_EQ(win[19 * 240 + 10], 0);
    EXPECT_EQ(headless::presentCount(), 1u);
}

TEST_F(HeadlessClock, RectanglesOutsideTheScreenAreClipped) {
    std::vector<uint16_t> back(240 * 320, 0xFFFF);
    const platform::PresentRect rects[] = {
        {-50, -50, 2, 2}, {238, 318, 400, 400}, {100, 100, 50, 50}, {300, 0, 400, 10}};
    platform::present(back.data(), 240 * 2, rects, 4);
    const auto& win = headless::windowDevicePixels();
    EXPECT_EQ(win[0], 0xFFFF);
    EXPECT_EQ(win[1 * 240 + 1], 0xFFFF);
    EXPECT_EQ(win[2 * 240 + 2], 0);
    EXPECT_EQ(win[319 * 240 + 239], 0xFFFF);
    EXPECT_EQ(win[100 * 240 + 100], 0);  // the inverted one copies nothing
}

TEST_F(HeadlessClock, LandscapeTurnsDevicePixels) {
    std::vector<uint16_t> back(240 * 320, 0);
    back[0] = 0xF800;              // device top-left: red
    back[319 * 240 + 0] = 0x07E0;  // device (0, 319): green
    back[5 * 240 + 7] = 0x001F;    // device (7, 5): blue
    platform::presentAll(back.data(), 240 * 2);
    const std::vector<uint8_t> rgb = headless::windowLandscapeRGB();
    ASSERT_EQ(rgb.size(), 320u * 240 * 3);
    auto at = [&](int lx, int ly) { return &rgb[(ly * 320 + lx) * 3]; };
    EXPECT_EQ(at(319, 0)[0], 255);  // (319 - 0, 0)
    EXPECT_EQ(at(0, 0)[1], 255);    // (319 - 319, 0)
    EXPECT_EQ(at(314, 7)[2], 255);  // (319 - 5, 7)
    EXPECT_EQ(at(0, 0)[0], 0);
}

TEST_F(HeadlessClock, MessageBoxesAreRecordedInOrderAndResetClearsThem) {
    platform::messageBox("first", "", platform::BoxIcon::None);
    platform::messageBox("second", "Error", platform::BoxIcon::Stop);
    ASSERT_EQ(headless::messageBoxes().size(), 2u);
    EXPECT_EQ(headless::messageBoxes()[0], "first");
    EXPECT_EQ(headless::messageBoxes()[1], "second");
    headless::reset();
    EXPECT_TRUE(headless::messageBoxes().empty());
}

}  // namespace
