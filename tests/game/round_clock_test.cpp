// The round clock: its text, its seconds on the virtual clock and time items.
#include "game/round_clock.h"

#include "graphics/picture_font.h"
#include "round_fixture.h"

namespace {

TEST(RoundClockTextTest, MinutesAndSecondsWithLeadingZeros) {
    const std::pair<uint32_t, const char16_t*> cases[] = {{180u, u"03:00"}, {0u, u"00:00"},
                                                          {9u, u"00:09"},   {59u, u"00:59"},
                                                          {60u, u"01:00"},  {610u, u"10:10"}};
    for (auto [seconds, text] : cases)
        EXPECT_EQ(RoundClock::FormatTime(seconds), std::u16string(text)) << seconds;
}

class RoundClockTest : public RoundFixture {
  protected:
    void SetUp() override {
        RoundFixture::SetUp();
        clock.Init(3, 225, 180, surface.get());
    }
    void TearDown() override {
        clock.Clear();
        RoundFixture::TearDown();
    }
    // Ticks after ms milliseconds more of the virtual clock.
    uint32_t tickAfter(uint32_t ms) {
        advance(ms);
        return clock.Tick();
    }
    RoundClock clock;
};

TEST_F(RoundClockTest, CountsASecondAfterMoreThanOneThousandMsAndStopsAtZero) {
    EXPECT_EQ(clock.Tick(), 180u);  // not started
    clock.Start();
    EXPECT_EQ(tickAfter(1000), 180u);
    EXPECT_EQ(tickAfter(1), 179u);
    // The next second counts from this tick, not from the old one plus 1000.
    EXPECT_EQ(tickAfter(1000), 179u);
    EXPECT_EQ(tickAfter(1), 178u);
    clock.secondsLeft = 2;
    for (int i = 0; i < 5; ++i) tickAfter(1001);
    EXPECT_EQ(ints(clock.secondsLeft, clock.running), ints(0, 0));
}

TEST_F(RoundClockTest, AddSecondsCases) {
    const std::tuple<uint32_t, int, uint32_t, int> cases[] = {
        {10u, 30, 40u, 1}, {10u, -30, 0u, 0}, {30u, -30, 0u, 1},
        {31u, -30, 1u, 1}, {0u, 30, 30u, 1},  {100u, -128, 0u, 0}};
    for (auto [left, delta, after, running] : cases) {
        clock.Start();
        clock.secondsLeft = left;
        advance(700);
        clock.AddSeconds(static_cast<int8_t>(delta));
        EXPECT_EQ(ints(clock.secondsLeft, clock.running), ints(after, running))
            << left << " " << delta;
        // A change of time restarts the running second.
        EXPECT_TRUE(!running || clock.lastSecondTick == headless::now()) << left << " " << delta;
    }
    // Reaching exactly zero leaves it running until the next second stops it.
    clock.Start();
    clock.secondsLeft = 30;
    clock.AddSeconds(-30);
    EXPECT_EQ(tickAfter(1001), 0u);
    EXPECT_EQ(clock.running, 0);
}

TEST_F(RoundClockTest, HiddenTimeIsNotCounted) {
    clock.Start();
    advance(600);
    clock.Hide();
    EXPECT_EQ(tickAfter(60000), 180u);
    clock.Show();
    EXPECT_EQ(tickAfter(1000), 180u);
    EXPECT_EQ(tickAfter(1), 179u);
}

TEST_F(RoundClockTest, ClearTwiceReportsTheMissingMembers) {
    clock.Clear();
    const auto& boxes = headless::messageBoxes();
    const size_t before = boxes.size();
    clock.Clear();
    EXPECT_EQ(std::vector(boxes.begin() + before, boxes.end()),
              (std::vector<std::string>{"m_font = NULL", "m_editField = NULL"}));
    clock.Init(3, 225, 180, surface.get());  // for TearDown
}

TEST_F(RoundClockTest, SecondInitWithoutClearLeavesNoFreedSpriteOnTheSurface) {
    const uint16_t shown = surface->list.count;
    clock.Init(3, 225, 180, surface.get());
    EXPECT_EQ(surface->list.count, shown);
    EXPECT_TRUE(surface->list.contains(clock.iconSprite));
    EXPECT_TRUE(surface->list.contains(clock.m_editField->sprite));
    surface->redrawAll();  // walks every listed sprite: a freed one would be touched here
}

}  // namespace
