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

TEST_F(HeadlessClock, SleepAdvancesAndAZeroPeriodTimerIsRefused) {
    EXPECT_EQ(platform::tickCount(), 1000000u);
    platform::sleepMs(250);
    EXPECT_EQ(platform::tickCount(), 1000250u);
    headless::setNow(42);
    EXPECT_EQ(platform::tickCount(), 42u);
    EXPECT_FALSE(platform::startTimer(0));
    EXPECT_EQ(headless::timerPeriod(), 0u);
}

// The timer ticks every period when nothing else is queued; a message due with a tick
// comes first.
TEST_F(HeadlessClock, QueuedMessagesArriveAtTheirTimeInQueueOrder) {
    ASSERT_TRUE(platform::startTimer(10));
    headless::postMessage(Message{platform::MSG_KEYDOWN, 13, 0}, 1000030);
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
        {platform::MSG_TIMER, 1000020},       {platform::MSG_KEYDOWN, 1000030},
        {platform::MSG_TIMER, 1000030},       {platform::MSG_TIMER, 1000040},
    };
    for (const Expect& e : expected) {
        EXPECT_EQ(next().message, e.message) << e.tick;
        EXPECT_EQ(platform::tickCount(), e.tick);
    }
}

TEST_F(HeadlessClock, LateTimerIsReportedOnceAndStaysOnItsGrid) {
    ASSERT_TRUE(platform::startTimer(10));
    platform::sleepMs(35);  // three ticks missed
    EXPECT_EQ(next().message, platform::MSG_TIMER);
    EXPECT_EQ(platform::tickCount(), 1000035u);
    EXPECT_EQ(next().message, platform::MSG_TIMER);
    EXPECT_EQ(platform::tickCount(), 1000040u);
}

// Counts the messages until the wait ends.
int messagesUntilTheEnd() {
    int count = 0;
    Message m;
    while (platform::getMessage(m)) ++count;
    EXPECT_FALSE(platform::getMessage(m));  // and it stays ended
    return count;
}

TEST_F(HeadlessClock, QuitOrTheIdleLimitEndsTheWaitAndNothingToWaitForEndsItAtOnce) {
    EXPECT_EQ(messagesUntilTheEnd(), 0);  // no timer, nothing queued: no hang
    ASSERT_TRUE(platform::startTimer(10));
    headless::postMessage(Message{platform::MSG_KEYDOWN, 13, 0});
    headless::postQuit();
    EXPECT_EQ(messagesUntilTheEnd(), 1);  // the key before it
    headless::reset();
    ASSERT_TRUE(platform::startTimer(10));
    headless::postQuit(1000030);
    // Ticks at 10 and 20; at 30 the queued quit comes before that moment's tick.
    EXPECT_EQ(messagesUntilTheEnd(), 2);
    EXPECT_EQ(platform::tickCount(), 1000030u);
    headless::reset();
    ASSERT_TRUE(platform::startTimer(10));
    headless::setIdleLimit(1000025);
    EXPECT_EQ(messagesUntilTheEnd(), 2);
    EXPECT_EQ(platform::tickCount(), 1000025u);
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

// The window holds only the presented rectangles, clipped to the screen.
TEST_F(HeadlessClock, PresentedRectanglesReachTheWindowClipped) {
    std::vector<uint16_t> back(240 * 320, 0xFFFF);
    const platform::PresentRect rects[] = {{10, 20, 12, 23},
                                           {-50, -50, 2, 2},
                                           {238, 318, 400, 400},
                                           {100, 100, 50, 50},
                                           {300, 0, 400, 10}};
    platform::present(back.data(), 240 * 2, rects, 5);
    EXPECT_EQ(headless::presentCount(), 1u);
    const struct {
        int x, y;
        bool shown;
    } pixels[] = {{10, 20, true},   {11, 22, true},   {11, 23, false}, {12, 20, false},
                  {10, 19, false},  {0, 0, true},     {1, 1, true},    {2, 2, false},
                  {239, 319, true}, {100, 100, false}};  // the inverted one copies nothing
    for (const auto& p : pixels)
        EXPECT_EQ(headless::windowDevicePixels()[p.y * 240 + p.x], p.shown ? 0xFFFF : 0)
            << p.x << "," << p.y;
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

}  // namespace
