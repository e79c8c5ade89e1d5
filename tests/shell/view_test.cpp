// The view base: its control list and the offering of an event to the controls.
#include "shell/view.h"

#include <gtest/gtest.h>

#include <vector>

#include "graphics/image.h"
#include "graphics/sprite.h"
#include "shell/control.h"

namespace {

// A control that takes the event when told to and then rewrites it into a
// notification carrying its id, as the real buttons do.
class FakeControl : public Control {
  public:
    FakeControl(uint16_t controlId, uint8_t takes, std::vector<int>* offered)
        : takes_(takes), offered_(offered) {
        id = controlId;
    }
    uint8_t HandleInput(InputEvent* event) override {
        offered_->push_back(id);
        if (takes_ == 0) {
            event->x = 999;  // scribbles on the copy it was offered
            return 0;
        }
        event->type = EV_CONTROL;
        event->keys[7] = id;
        return takes_;
    }
    uint8_t HitTest(int16_t, int16_t) override { return 0; }

  private:
    uint8_t takes_;
    std::vector<int>* offered_;
};

class BareView : public View {
  public:
    BareView() : View(nullptr) {}
    void OnEnter() override {}
    void OnLeave() override {}
    int HandleEvent(InputEvent&) override { return 0; }
};

TEST(OfferEvent, StopsAtTheFirstControlThatTakesItAndCopiesItBack) {
    std::vector<int> offered;
    FakeControl a(1, 0, &offered), b(2, 1, &offered), c(3, 1, &offered);
    BareView view;
    view.AddControl(&a);
    view.AddControl(&b);
    view.AddControl(&c);
    InputEvent e;
    e.type = EV_PEN_DOWN;
    e.x = 40;
    EXPECT_EQ(view.OfferEvent(e), 1);
    EXPECT_EQ(offered, (std::vector<int>{1, 2}));
    EXPECT_EQ(e.type, EV_CONTROL);
    EXPECT_EQ(e.keys[7], 2);
    // One copy goes round the controls, so what the first one wrote comes back too.
    EXPECT_EQ(e.x, 999);
}

TEST(OfferEvent, NobodyTakesItLeavesTheEventUntouched) {
    std::vector<int> offered;
    FakeControl a(1, 0, &offered), b(2, 0, &offered);
    BareView view;
    view.AddControl(&a);
    view.AddControl(&b);
    InputEvent e;
    e.type = EV_PEN_UP;
    e.x = 5;
    e.keys[7] = -1;
    EXPECT_EQ(view.OfferEvent(e), 0);
    EXPECT_EQ(offered, (std::vector<int>{1, 2}));
    EXPECT_EQ(e.type, EV_PEN_UP);
    EXPECT_EQ(e.x, 5);
    EXPECT_EQ(e.keys[7], -1);
}

TEST(OfferEvent, AnyNonZeroByteCountsAsTaken) {
    std::vector<int> offered;
    FakeControl a(1, 0x80, &offered), b(2, 1, &offered);
    BareView view;
    view.AddControl(&a);
    view.AddControl(&b);
    InputEvent e;
    EXPECT_EQ(view.OfferEvent(e), 0x80);
    EXPECT_EQ(offered, (std::vector<int>{1}));
}

TEST(ControlList, AFortyFirstControlIsRefused) {
    std::vector<int> offered;
    std::vector<std::unique_ptr<FakeControl>> controls;
    BareView view;
    for (int i = 0; i < View::kMaxControls; ++i) {
        controls.push_back(std::make_unique<FakeControl>(i, 0, &offered));
        EXPECT_TRUE(view.AddControl(controls.back().get()));
    }
    FakeControl extra(99, 1, &offered);
    EXPECT_FALSE(view.AddControl(&extra));
    EXPECT_EQ(view.controlCount, View::kMaxControls);
    InputEvent e;
    EXPECT_EQ(view.OfferEvent(e), 0);  // the refused one is never offered anything
    EXPECT_EQ(offered.size(), static_cast<size_t>(View::kMaxControls));
}

TEST(ControlList, RemoveMovesTheLastIntoTheFreedSlot) {
    std::vector<int> offered;
    FakeControl a(1, 0, &offered), b(2, 0, &offered), c(3, 0, &offered);
    BareView view;
    view.AddControl(&a);
    view.AddControl(&b);
    view.AddControl(&c);
    view.RemoveControl(0);
    ASSERT_EQ(view.controlCount, 2);
    EXPECT_EQ(view.controls[0], &c);
    EXPECT_EQ(view.controls[1], &b);
    view.RemoveControl(5);  // no such slot: nothing happens
    EXPECT_EQ(view.controlCount, 2);
    view.RemoveControl(1);
    EXPECT_EQ(view.controlCount, 1);
    EXPECT_EQ(view.controls[0], &c);
    view.ClearControls();
    EXPECT_EQ(view.controlCount, 0);
}

TEST(ControlPictures, BorrowedFramesSurviveTheRelease) {
    std::vector<int> offered;
    Image source;
    source.createBlank(4, 3);
    Image* const shared[] = {&source};
    FakeControl a(1, 0, &offered);
    a.frames = new FrameSet;
    a.frames->borrow(shared, 1);
    a.ReleasePictures();
    EXPECT_EQ(a.frames, nullptr);
    ASSERT_NE(source.bitmap, nullptr);  // the lender's picture is still there
    EXPECT_EQ(source.width, 4);
}

TEST(ControlPictures, OwnedFramesAreFreedOnceEvenWhenReleasedTwice) {
    std::vector<int> offered;
    auto* a = new FakeControl(1, 0, &offered);
    a->frames = new FrameSet;
    a->frames->frames[0] = new Image;
    a->frames->frames[0]->createBlank(2, 2);
    a->frames->count = 1;
    a->ReleasePictures();
    EXPECT_EQ(a->frames, nullptr);
    a->ReleasePictures();  // nothing left to free
    delete a;              // nor for the destructor
}

TEST(ControlList, ReleasePicturesWithoutAFrameSetIsHarmless) {
    std::vector<int> offered;
    FakeControl a(1, 0, &offered);
    a.ReleasePictures();
    EXPECT_EQ(a.frames, nullptr);
}

}  // namespace
