// Buttons, toggles and sliders: what a stylus does to them and what they report.
#include <deque>

#include "graphics/image.h"
#include "graphics/picture_ids.h"
#include "graphics/sprite.h"
#include "screen_fixture.h"
#include "screens/button.h"
#include "screens/slider.h"
#include "screens/toggle_button.h"

namespace {

using screentest::event;
using screentest::ints;

class CountingButton : public Button {
  public:
    void OnDrag() override { ++drags; }
    int drags = 0;
};

class ControlsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset();
        // x 100..126, y 50..92
        button.SetupPlain(9, 100, 50, 26, 42, PIC_OPTIONS_OK, PIC_OPTIONS_OK_PRESSED);
    }
    int send(Control& c, int type, int x, int y) {
        last = event(type, x, y);
        return c.HandleInput(&last);
    }
    // What the last event reports about a slider: kind, how, new and old value.
    std::vector<int64_t> report() const {
        return ints(last.type, last.keys[8], Slider::notifiedValue(last),
                    Slider::notifiedOldValue(last));
    }
    // A slider like the options screen's volume: track (71, 21) 18 x 184, knob 18 x 35, so
    // that v(py) = (205 - (py + 17)) / 2.
    Slider& volume(int16_t value, int8_t step = 6, int16_t max = 70, int knobW = 18) {
        return setUp(sliders.emplace_back(), value, step, max, knobW);
    }
    static Slider& setUp(Slider& s, int16_t value, int8_t step, int16_t max, int knobW = 18) {
        s.Setup(0, 71, 21, 18, 184, knobW, 35, PIC_MUSIC_TRACK, PIC_MUSIC_TRACK, PIC_KNOB,
                PIC_KNOB_PRESSED, 0, max, value, step, 1, true, false, 100, 0xFFFF);
        return s;
    }
    CountingButton button;
    InputEvent last;
    std::deque<Slider> sliders;
};

TEST_F(ControlsTest, ButtonFiresOnReleaseOverItselfOnly) {
    EXPECT_EQ(send(button, EV_PEN_UP, 110, 60), 0);  // no press before
    EXPECT_EQ(send(button, EV_PEN_DRAG, 0, 0), 0);
    EXPECT_EQ(send(button, EV_PEN_DOWN, 110, 60), 1);
    EXPECT_EQ(ints(last.type, button.sprite.current), ints(EV_NONE, 1));
    EXPECT_EQ(send(button, EV_PEN_DRAG, 0, 0), 1);  // taken, and still pressed
    EXPECT_EQ(ints(button.drags, button.sprite.current), ints(1, 1));
    EXPECT_EQ(send(button, EV_PEN_UP, 112, 61), 1);
    EXPECT_EQ(ints(last.type, last.keys[7], button.state, button.sprite.current, button.captured),
              ints(EV_CONTROL, 9, Button::kNormal, 0, 0));
    // Released elsewhere: cancelled, but the release is still taken.
    send(button, EV_PEN_DOWN, 100, 50);
    EXPECT_EQ(send(button, EV_PEN_UP, 5, 5), 1);
    EXPECT_EQ(ints(last.type, button.sprite.current), ints(EV_PEN_UP, 0));
    // Disabled while pressed: nothing is taken any more.
    send(button, EV_PEN_DOWN, 110, 60);
    button.state = Button::kDisabled;
    for (int type : {EV_PEN_UP, EV_PEN_DRAG, EV_PEN_DOWN, EV_KEYS}) {
        EXPECT_EQ(send(button, type, 110, 60), 0) << "type " << type;
        EXPECT_EQ(last.type, type);
    }
}

TEST_F(ControlsTest, HitTestIncludesEveryEdge) {
    const std::tuple<int, int, int> cases[] = {{100, 50, 1}, {126, 92, 1}, {126, 50, 1},
                                               {100, 92, 1}, {99, 60, 0},  {127, 60, 0},
                                               {110, 49, 0}, {110, 93, 0}, {-100, -50, 0}};
    for (auto [x, y, inside] : cases)
        EXPECT_EQ(button.HitTest(int16_t(x), int16_t(y)), inside) << x << "," << y;
    send(button, EV_PEN_DOWN, 126, 92);
    send(button, EV_PEN_UP, 126, 92);
    EXPECT_EQ(last.type, EV_CONTROL);
}

TEST_F(ControlsTest, BorrowedPicturesSurviveTheButton) {
    Image a, c;
    a.createBlank(4, 4);
    c.createBlank(4, 4);
    Image* pictures[2] = {&a, &c};
    {
        Button b;
        b.Setup(5, 0, 0, 4, 4, pictures, 2, Button::kNormal, 1, true, false, 100, 0xFFFF, false);
        EXPECT_EQ(b.sprite.image, &a);
        send(b, EV_PEN_DOWN, 1, 1);
        EXPECT_EQ(b.sprite.image, &c);
        b.ReleasePictures();
    }
    EXPECT_NE(a.bitmap, nullptr);
    EXPECT_NE(c.bitmap, nullptr);
}

TEST_F(ControlsTest, ToggleFlipsOnPenDownInsideOnly) {
    ToggleButton t;
    t.Setup(7, 144, 31, 26, 24, PIC_CHECK_TICKED, PIC_CHECK_EMPTY, 1, nullptr, 1, false, false, 100,
            0xFFFF);
    EXPECT_EQ(send(t, EV_PEN_DOWN, 143, 31), 0);
    EXPECT_EQ(send(t, EV_PEN_UP, 150, 40), 0);
    for (int expected : {0, 1, 0}) {
        ASSERT_EQ(send(t, EV_PEN_DOWN, 170, 55), 1);  // the far corner counts
        EXPECT_EQ(ints(last.type, last.keys[7], int16_t(last.keys[8] & 0xFFFF), t.sprite.current),
                  ints(EV_TOGGLE, 7, expected, expected));
    }
    t.state = 2;
    EXPECT_EQ(send(t, EV_PEN_DOWN, 150, 40), 0);
}

TEST_F(ControlsTest, SliderDerivedValues) {
    // max, initial and step given; max, value, step, pixels per unit and delay derived,
    // each set-up of the one slider replacing the one before.
    Slider& s = volume(1);
    for (auto [max, initial, step, want] : {
             std::tuple{70, 35, 6, ints(70, 35, 6, 2, 2)},  // the options screen
             {70, -1, 6, ints(70, 35, 6, 2, 2)},            // a negative start value: the middle
             {70, 71, 6, ints(70, 35, 6, 2, 2)},            // above the maximum: the middle
             {70, 70, 6, ints(70, 70, 6, 2, 2)},            // exactly the maximum stays
             {70, 10, 0, ints(70, 10, 3, 2, 1)},            // step 0 pages by 3
             {70, 10, 71, ints(70, 10, 3, 2, 1)},           // a step above the maximum: 3
             {-5, 3, 2, ints(10, 3, 3, 13, 8)},             // a negative maximum means 10
         }) {
        setUp(s, int16_t(initial), int8_t(step), int16_t(max));
        EXPECT_EQ(ints(s.maxValue, s.value, s.step, s.pixelsPerUnit, s.repeatDelay), want)
            << max << " " << initial << " " << step;
        EXPECT_EQ(s.knob->sprite.y, s.knobY(s.value));
    }
    setUp(s, 70, 6, 70);
    EXPECT_EQ(s.knob->sprite.y, 21 + 9);  // the top value sits nine below the track top
    EXPECT_EQ(s.knobY(0), 21 + 184 - 35);
}

TEST_F(ControlsTest, DraggingTheKnobClampsAndReportsOldAndNewValues) {
    Slider& s = volume(35);
    ASSERT_EQ(send(s, EV_PEN_DOWN, 75, s.knob->sprite.y + 5), 1);
    EXPECT_EQ(ints(s.dragState, s.knob->state), ints(Slider::DRAGGING, Button::kPressed));
    ASSERT_EQ(send(s, EV_PEN_DRAG, 75, -40), 1);
    EXPECT_EQ(report(), ints(EV_SLIDER_CHANGE, Slider::kDragged, 70, 35));
    EXPECT_EQ(s.knob->sprite.y, 30);
    EXPECT_EQ(send(s, EV_PEN_DRAG, 75, -80), 0);  // still the top: no change to report
    ASSERT_EQ(send(s, EV_PEN_DRAG, 75, 319), 1);
    EXPECT_EQ(report(), ints(EV_SLIDER_CHANGE, Slider::kDragged, 0, 70));
    ASSERT_EQ(send(s, EV_PEN_DRAG, 75, 88), 1);
    EXPECT_EQ(s.value, 50);
    ASSERT_EQ(send(s, EV_PEN_UP, 75, 88), 1);
    EXPECT_EQ(ints(last.type, s.dragState, s.knob->state),
              ints(EV_SLIDER_RELEASE, Slider::IDLE, Button::kNormal));
    EXPECT_EQ(send(s, EV_PEN_UP, 75, 88), 0);
}

TEST_F(ControlsTest, PagingRepeatsWithItsDelayOnTheVirtualClock) {
    Slider& s = volume(35);
    ASSERT_EQ(s.valueAt(70), 59);
    ASSERT_EQ(send(s, EV_PEN_DOWN, 80, 70), 1);
    EXPECT_EQ(report(), ints(EV_SLIDER_CHANGE, Slider::kPagedUp, 41, 35));
    EXPECT_EQ(s.dragState, Slider::PAGING_STARTED);
    for (int want : {47, 53, 59}) {
        const uint32_t before = headless::now();
        ASSERT_EQ(send(s, EV_PEN_DRAG, 80, 70), 1);
        // repeatDelay 2, in 10 ms units
        EXPECT_EQ(ints(headless::now() - before, s.dragState, Slider::notifiedValue(last)),
                  ints(20, Slider::PAGING_REPEATS, want));
    }
    EXPECT_EQ(send(s, EV_PEN_DRAG, 80, 70), 0);  // reached the tapped value
    EXPECT_EQ(s.value, 59);
    ASSERT_EQ(send(s, EV_PEN_UP, 80, 70), 1);
    // Held below the knob, it pages down the same way to the value under the pen.
    int y = 70;
    while (y < 320 && s.valueAt(y) > 35) ++y;
    ASSERT_EQ(s.valueAt(y), 35);
    ASSERT_EQ(send(s, EV_PEN_DOWN, 80, y), 1);
    EXPECT_EQ(ints(last.keys[8], s.value), ints(Slider::kPagedDown, 53));
    for (int want : {47, 41, 35}) {
        ASSERT_EQ(send(s, EV_PEN_DRAG, 80, y), 1);
        EXPECT_EQ(ints(last.keys[8], Slider::notifiedValue(last)), ints(Slider::kPagedDown, want));
    }
    EXPECT_EQ(send(s, EV_PEN_DRAG, 80, y), 0);
    ASSERT_EQ(send(s, EV_PEN_UP, 80, y), 1);
    // Paging down stops at the minimum, not below it.
    Slider& low = volume(4);
    ASSERT_EQ(send(low, EV_PEN_DOWN, 80, 205), 1);
    EXPECT_EQ(ints(last.keys[8], low.value), ints(Slider::kPagedDown, 0));
    EXPECT_EQ(send(low, EV_PEN_DRAG, 80, 205), 0);
}

TEST_F(ControlsTest, TapAtTheCurrentValueOrBesideTheTrack) {
    // A knob narrower than its track, so that the track beside the knob can be tapped.
    Slider& s = volume(10, 6, 70, 8);
    ASSERT_EQ(s.valueAt(168), 10);
    ASSERT_EQ(s.knob->HitTest(85, 168), 0);
    EXPECT_EQ(send(s, EV_PEN_DOWN, 85, 168), 0);
    EXPECT_EQ(ints(s.value, s.dragState), ints(10, Slider::PAGING_STARTED));
    EXPECT_EQ(send(s, EV_PEN_UP, 85, 168), 1);
    EXPECT_EQ(ints(last.type, s.dragState), ints(EV_SLIDER_RELEASE, Slider::IDLE));
    for (auto [x, y] : {std::pair{70, 100}, {90, 100}, {80, 20}, {80, 206}}) {
        EXPECT_EQ(send(s, EV_PEN_DOWN, x, y), 0) << x << "," << y;
        EXPECT_EQ(s.dragState, Slider::IDLE);
    }
}

}  // namespace
