// The round clock: its text, its seconds on the virtual clock and time items.
#include "game/round_clock.h"

#include "graphics/picture_font.h"
#include "round_fixture.h"

namespace {

TEST(RoundClockTextTest, MinutesAndSecondsWithLeadingZeros) {
    struct Case {
        uint32_t seconds;
        const char16_t* text;
    };
    for (Case c : {Case{180, u"03:00"}, Case{0, u"00:00"}, Case{9, u"00:09"}, Case{59, u"00:59"},
                   Case{60, u"01:00"}, Case{610, u"10:10"}}) {
        EXPECT_EQ(RoundClock::FormatTime(c.seconds), std::u16string(c.text)) << c.seconds;
    }
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
    RoundClock clock;
};

TEST_F(RoundClockTest, CountsASecondAfterMoreThanOneThousandMsAndStopsAtZero) {
    EXPECT_EQ(clock.Tick(), 180u);  // not started
    clock.Start();
    advance(1000);
    EXPECT_EQ(clock.Tick(), 180u);
    advance(1);
    EXPECT_EQ(clock.Tick(), 179u);
    // The next second counts from this tick, not from the old one plus 1000.
    advance(1000);
    EXPECT_EQ(clock.Tick(), 179u);
    advance(1);
    EXPECT_EQ(clock.Tick(), 178u);
    clock.secondsLeft = 2;
    for (int i = 0; i < 5; ++i) {
        advance(1001);
        clock.Tick();
    }
    EXPECT_EQ(clock.secondsLeft, 0u);
    EXPECT_EQ(clock.running, 0);
}

TEST_F(RoundClockTest, AddSecondsCases) {
    struct Case {
        uint32_t left;
        int8_t delta;
        uint32_t after;
        uint8_t running;
    };
    for (Case c : {Case{10, 30, 40, 1}, Case{10, -30, 0, 0}, Case{30, -30, 0, 1},
                   Case{31, -30, 1, 1}, Case{0, 30, 30, 1}, Case{100, -128, 0, 0}}) {
        clock.Start();
        clock.secondsLeft = c.left;
        advance(700);
        clock.AddSeconds(c.delta);
        EXPECT_EQ(clock.secondsLeft, c.after) << c.left << " " << int(c.delta);
        EXPECT_EQ(clock.running, c.running) << c.left << " " << int(c.delta);
        if (c.running) {
            EXPECT_EQ(clock.lastSecondTick, headless::now());  // the second restarts
        }
    }
    // Reaching exactly zero leaves it running until the next second stops it.
    clock.Start();
    clock.secondsLeft = 30;
    clock.AddSeconds(-30);
    advance(1001);
    EXPECT_EQ(clock.Tick(), 0u);
    EXPECT_EQ(clock.running, 0);
}

TEST_F(RoundClockTest, HiddenTimeIsNotCounted) {
    clock.Start();
    advance(600);
    clock.Hide();
    advance(60000);
    EXPECT_EQ(clock.Tick(), 180u);
    clock.Show();
    advance(1000);
    EXPECT_EQ(clock.Tick(), 180u);
    advance(1);
    EXPECT_EQ(clock.Tick(), 179u);
}

TEST_F(RoundClockTest, ClearTwiceReportsTheMissingMembers) {
    clock.Clear();
    const size_t before = headless::messageBoxes().size();
    clock.Clear();
    const auto& boxes = headless::messageBoxes();
    ASSERT_EQ(boxes.size(), before + 2);
    EXPECT_EQ(boxes[before], "m_font = NULL");
    EXPECT_EQ(boxes[before + 1], "m_editField = NULL");
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
