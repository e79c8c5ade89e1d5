// Buttons, toggles and sliders: what a stylus does to them and what they report.
#include <gtest/gtest.h>

#include "graphics/image.h"
#include "graphics/sprite.h"
#include "platform/headless/headless.h"
#include "screens/button.h"
#include "screens/slider.h"
#include "screens/toggle_button.h"

namespace {

InputEvent pen(int type, int x, int y) {
    InputEvent e;
    e.type = type;
    e.x = static_cast<int16_t>(x);
    e.y = static_cast<int16_t>(y);
    return e;
}

class CountingButton : public Button {
  public:
    void OnDrag() override { ++drags; }
    int drags = 0;
};

class ControlsTest : public ::testing::Test {
  protected:
    void SetUp() override { headless::reset(); }
    void TearDown() override { headless::reset(); }
};

// A button at (100, 50), 26 x 42, with id 9.
void setUpButton(Button& b) {
    b.SetupPlain(9, 100, 50, 26, 42, 371, 372);
}

TEST_F(ControlsTest, ButtonFiresOnReleaseOverItself) {
    Button b;
    setUpButton(b);
    InputEvent down = pen(EV_PEN_DOWN, 110, 60);
    EXPECT_EQ(b.HandleInput(&down), 1);
    EXPECT_EQ(down.type, EV_NONE);
    EXPECT_EQ(b.state, Button::kPressed);
    EXPECT_EQ(b.sprite.current, 1);
    InputEvent up = pen(EV_PEN_UP, 112, 61);
    EXPECT_EQ(b.HandleInput(&up), 1);
    EXPECT_EQ(up.type, EV_CONTROL);
    EXPECT_EQ(up.keys[7], 9);
    EXPECT_EQ(b.state, Button::kNormal);
    EXPECT_EQ(b.sprite.current, 0);
    EXPECT_EQ(b.captured, 0);
}

TEST_F(ControlsTest, ReleaseOutsideCancelsButIsStillTaken) {
    Button b;
    setUpButton(b);
    InputEvent down = pen(EV_PEN_DOWN, 100, 50);
    ASSERT_EQ(b.HandleInput(&down), 1);
    InputEvent up = pen(EV_PEN_UP, 5, 5);
    EXPECT_EQ(b.HandleInput(&up), 1);
    EXPECT_EQ(up.type, EV_PEN_UP);
    EXPECT_EQ(b.state, Button::kNormal);
    EXPECT_EQ(b.sprite.current, 0);
}

TEST_F(ControlsTest, PenUpWithoutPressIsIgnored) {
    Button b;
    setUpButton(b);
    InputEvent up = pen(EV_PEN_UP, 110, 60);
    EXPECT_EQ(b.HandleInput(&up), 0);
    EXPECT_EQ(up.type, EV_PEN_UP);
}

TEST_F(ControlsTest, DisabledButtonIgnoresEverything) {
    Button b;
    setUpButton(b);
    InputEvent down = pen(EV_PEN_DOWN, 110, 60);
    ASSERT_EQ(b.HandleInput(&down), 1);
    b.state = Button::kDisabled;
    for (int type : {EV_PEN_UP, EV_PEN_DRAG, EV_PEN_DOWN, EV_KEYS}) {
        InputEvent e = pen(type, 110, 60);
        EXPECT_EQ(b.HandleInput(&e), 0) << "type " << type;
        EXPECT_EQ(e.type, type);
    }
}

TEST_F(ControlsTest, HitTestIncludesEveryEdge) {
    Button b;
    setUpButton(b);  // x 100..126, y 50..92
    struct Case {
        int x, y;
        uint8_t inside;
    } cases[] = {
        {100, 50, 1}, {126, 92, 1}, {126, 50, 1}, {100, 92, 1}, {113, 71, 1},
        {99, 60, 0},  {127, 60, 0}, {110, 49, 0}, {110, 93, 0}, {-100, -50, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(b.HitTest(static_cast<int16_t>(c.x), static_cast<int16_t>(c.y)), c.inside)
            << c.x << "," << c.y;
    }
    // Pressing and releasing on the far corner still fires.
    InputEvent down = pen(EV_PEN_DOWN, 126, 92);
    ASSERT_EQ(b.HandleInput(&down), 1);
    InputEvent up = pen(EV_PEN_UP, 126, 92);
    ASSERT_EQ(b.HandleInput(&up), 1);
    EXPECT_EQ(up.type, EV_CONTROL);
}

TEST_F(ControlsTest, DragWhilePressedIsTakenAndKeepsThePressedPicture) {
    CountingButton b;
    setUpButton(b);
    InputEvent idle = pen(EV_PEN_DRAG, 0, 0);
    EXPECT_EQ(b.HandleInput(&idle), 0);
    InputEvent down = pen(EV_PEN_DOWN, 110, 60);
    ASSERT_EQ(b.HandleInput(&down), 1);
    InputEvent drag = pen(EV_PEN_DRAG, 0, 0);
    EXPECT_EQ(b.HandleInput(&drag), 1);
    EXPECT_EQ(b.drags, 1);
    EXPECT_EQ(b.sprite.current, 1);
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
        InputEvent down = pen(EV_PEN_DOWN, 1, 1);
        ASSERT_EQ(b.HandleInput(&down), 1);
        EXPECT_EQ(b.sprite.image, &c);
        b.ReleasePictures();
        EXPECT_EQ(b.frames, nullptr);
    }
    EXPECT_NE(a.bitmap, nullptr);
    EXPECT_NE(c.bitmap, nullptr);
}

TEST_F(ControlsTest, ToggleFlipsOnPenDownInsideOnly) {
    ToggleButton t;
    t.Setup(7, 144, 31, 26, 24, 375, 376, 1, nullptr, 1, false, false, 100, 0xFFFF);
    EXPECT_EQ(t.sprite.current, 1);
    InputEvent outside = pen(EV_PEN_DOWN, 143, 31);
    EXPECT_EQ(t.HandleInput(&outside), 0);
    InputEvent up = pen(EV_PEN_UP, 150, 40);
    EXPECT_EQ(t.HandleInput(&up), 0);
    for (int expected : {0, 1, 0}) {
        InputEvent down = pen(EV_PEN_DOWN, 170, 55);  // the far corner counts
        ASSERT_EQ(t.HandleInput(&down), 1);
        EXPECT_EQ(down.type, EV_TOGGLE);
        EXPECT_EQ(down.keys[7], 7);
        EXPECT_EQ(static_cast<int16_t>(down.keys[8] & 0xFFFF), expected);
        EXPECT_EQ(t.state, expected);
        EXPECT_EQ(t.sprite.current, expected);
    }
    t.state = 2;
    InputEvent down = pen(EV_PEN_DOWN, 150, 40);
    EXPECT_EQ(t.HandleInput(&down), 0);
}

// The options screen's volume slider: track (71, 21) 18 x 184, knob 18 x 35.
void setUpVolume(Slider& s, int16_t value, int8_t step = 6, int16_t max = 70) {
    s.Setup(0, 71, 21, 18, 184, 18, 35, 380, 380, 377, 378, 0, max, value, step, 1, true, false,
            100, 0xFFFF);
}

TEST_F(ControlsTest, SliderDerivedValues) {
    struct Case {
        int16_t max, initial;
        int8_t step;
        int16_t wantMax, wantValue;
        int8_t wantStep, wantPixels;
        int16_t wantDelay;
    } cases[] = {
        {70, 35, 6, 70, 35, 6, 2, 2},   // the options screen
        {70, -1, 6, 70, 35, 6, 2, 2},   // a negative start value: the middle
        {70, 71, 6, 70, 35, 6, 2, 2},   // above the maximum: the middle
        {70, 70, 6, 70, 70, 6, 2, 2},   // exactly the maximum stays
        {70, 10, 0, 70, 10, 3, 2, 1},   // step 0 pages by 3
        {70, 10, 71, 70, 10, 3, 2, 1},  // a step above the maximum pages by 3
        {-5, 3, 2, 10, 3, 3, 13, 8},    // a negative maximum means 10
    };
    for (const Case& c : cases) {
        Slider s;
        setUpVolume(s, c.initial, c.step, c.max);
        SCOPED_TRACE(testing::Message()
                     << "max " << c.max << " initial " << c.initial << " step " << int(c.step));
        EXPECT_EQ(s.maxValue, c.wantMax);
        EXPECT_EQ(s.value, c.wantValue);
        EXPECT_EQ(s.step, c.wantStep);
        EXPECT_EQ(s.pixelsPerUnit, c.wantPixels);
        EXPECT_EQ(s.repeatDelay, c.wantDelay);
        EXPECT_EQ(s.dragState, Slider::IDLE);
        EXPECT_EQ(s.knob->sprite.y, s.knobY(s.value));
    }
}

TEST_F(ControlsTest, KnobOfTheTopValueSitsNineBelowTheTrackTop) {
    Slider s;
    setUpVolume(s, 70);
    EXPECT_EQ(s.knob->sprite.y, 21 + 9);
    EXPECT_EQ(s.knobY(0), 21 + 184 - 35);
    EXPECT_EQ(s.knob->sprite.x, 71);
}

TEST_F(ControlsTest, DraggingTheKnobClampsAndReportsOldAndNewValues) {
    Slider s;
    setUpVolume(s, 35);
    InputEvent down = pen(EV_PEN_DOWN, 75, s.knob->sprite.y + 5);
    ASSERT_EQ(s.HandleInput(&down), 1);
    EXPECT_EQ(s.dragState, Slider::DRAGGING);
    EXPECT_EQ(s.knob->state, Button::kPressed);

    InputEvent above = pen(EV_PEN_DRAG, 75, -40);
    ASSERT_EQ(s.HandleInput(&above), 1);
    EXPECT_EQ(above.type, EV_SLIDER_CHANGE);
    EXPECT_EQ(above.keys[8], Slider::kDragged);
    EXPECT_EQ(above.keys[9], 0 | (70 << 16));
    EXPECT_EQ(Slider::notifiedValue(above), 70);
    EXPECT_EQ(Slider::notifiedOldValue(above), 35);
    EXPECT_EQ(s.knob->sprite.y, 30);

    InputEvent again = pen(EV_PEN_DRAG, 75, -80);
    EXPECT_EQ(s.HandleInput(&again), 0);
    EXPECT_EQ(again.type, EV_PEN_DRAG);

    InputEvent below = pen(EV_PEN_DRAG, 75, 319);
    ASSERT_EQ(s.HandleInput(&below), 1);
    EXPECT_EQ(Slider::notifiedValue(below), 0);
    EXPECT_EQ(Slider::notifiedOldValue(below), 70);

    // v(py) = (21 + 184 - (py + 17)) / 2: py 88 gives 50.
    InputEvent middle = pen(EV_PEN_DRAG, 75, 88);
    ASSERT_EQ(s.HandleInput(&middle), 1);
    EXPECT_EQ(s.value, 50);

    InputEvent up = pen(EV_PEN_UP, 75, 88);
    ASSERT_EQ(s.HandleInput(&up), 1);
    EXPECT_EQ(up.type, EV_SLIDER_RELEASE);
    EXPECT_EQ(s.dragState, Slider::IDLE);
    EXPECT_EQ(s.knob->state, Button::kNormal);
    InputEvent late = pen(EV_PEN_UP, 75, 88);
    EXPECT_EQ(s.HandleInput(&late), 0);
}

TEST_F(ControlsTest, TapAtTheCurrentValueChangesNothingButStartsPaging) {
    // A knob narrower than its track, so that the track beside the knob can be tapped.
    Slider s;
    s.Setup(0, 71, 21, 18, 184, 8, 35, 380, 380, 377, 378, 0, 70, 10, 6, 1, true, false, 100,
            0xFFFF);
    // v(py) = (205 - (py + 17)) / 2: row 168 means 10.
    ASSERT_EQ(s.valueAt(168), 10);
    InputEvent tap = pen(EV_PEN_DOWN, 85, 168);
    ASSERT_EQ(s.knob->HitTest(85, 168), 0);
    EXPECT_EQ(s.HandleInput(&tap), 0);
    EXPECT_EQ(tap.type, EV_PEN_DOWN);
    EXPECT_EQ(s.value, 10);
    EXPECT_EQ(s.dragState, Slider::PAGING_STARTED);
    InputEvent up = pen(EV_PEN_UP, 85, 168);
    EXPECT_EQ(s.HandleInput(&up), 1);
    EXPECT_EQ(up.type, EV_SLIDER_RELEASE);
    EXPECT_EQ(s.dragState, Slider::IDLE);
}

TEST_F(ControlsTest, PagingRepeatsWithItsDelayOnTheVirtualClock) {
    Slider s;
    setUpVolume(s, 35);
    // A tap near the top of the track aims at a high value: (205 - (30 + 17)) / 2 = 79.
    InputEvent down = pen(EV_PEN_DOWN, 80, 30 + 40);
    ASSERT_EQ(s.valueAt(70), 59);
    ASSERT_EQ(s.HandleInput(&down), 1);
    EXPECT_EQ(down.type, EV_SLIDER_CHANGE);
    EXPECT_EQ(down.keys[8], Slider::kPagedUp);
    EXPECT_EQ(Slider::notifiedValue(down), 41);
    EXPECT_EQ(Slider::notifiedOldValue(down), 35);
    EXPECT_EQ(s.pageTarget, 59);
    EXPECT_EQ(s.dragState, Slider::PAGING_STARTED);

    const int expected[] = {47, 53, 59};
    for (int want : expected) {
        const uint32_t before = headless::now();
        InputEvent drag = pen(EV_PEN_DRAG, 80, 70);
        ASSERT_EQ(s.HandleInput(&drag), 1);
        EXPECT_EQ(headless::now() - before, 20u);  // repeatDelay 2, in 10 ms units
        EXPECT_EQ(s.dragState, Slider::PAGING_REPEATS);
        EXPECT_EQ(drag.keys[8], Slider::kPagedUp);
        EXPECT_EQ(Slider::notifiedValue(drag), want);
    }
    // Reached the tapped value: nothing more moves.
    InputEvent drag = pen(EV_PEN_DRAG, 80, 70);
    EXPECT_EQ(s.HandleInput(&drag), 0);
    EXPECT_EQ(s.value, 59);

    // Paging down stops at the minimum, not below it.
    Slider low;
    setUpVolume(low, 4);
    InputEvent bottom = pen(EV_PEN_DOWN, 80, 205);
    ASSERT_EQ(low.HandleInput(&bottom), 1);
    EXPECT_EQ(bottom.keys[8], Slider::kPagedDown);
    EXPECT_EQ(low.value, 0);
    InputEvent more = pen(EV_PEN_DRAG, 80, 205);
    EXPECT_EQ(low.HandleInput(&more), 0);
}

TEST_F(ControlsTest, StepZeroPagesByThree) {
    Slider s;
    setUpVolume(s, 20, 0);
    InputEvent down = pen(EV_PEN_DOWN, 80, 22);
    ASSERT_EQ(s.HandleInput(&down), 1);
    EXPECT_EQ(s.value, 23);
    InputEvent up = pen(EV_PEN_UP, 80, 22);
    ASSERT_EQ(s.HandleInput(&up), 1);
    InputEvent downAgain = pen(EV_PEN_DOWN, 80, 200);
    ASSERT_EQ(s.HandleInput(&downAgain), 1);
    EXPECT_EQ(s.value, 20);
}

TEST_F(ControlsTest, PenDownBesideTheTrackIsNotTaken) {
    Slider s;
    setUpVolume(s, 35);
    for (auto [x, y] :
         {std::pair{70, 100}, std::pair{90, 100}, std::pair{80, 20}, std::pair{80, 206}}) {
        InputEvent e = pen(EV_PEN_DOWN, x, y);
        EXPECT_EQ(s.HandleInput(&e), 0) << x << "," << y;
        EXPECT_EQ(s.dragState, Slider::IDLE);
    }
}

}  // namespace
