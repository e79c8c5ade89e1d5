// Views and their controls, the view manager's switches and history, and the application's
// exit status, frame dispatch and modal event wait on the headless backend.
#include "shell/view.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "graphics/image.h"
#include "graphics/sprite.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/application.h"
#include "shell/control.h"
#include "shell/view_manager.h"

namespace {

// A view that writes what happens to it into a shared log and answers as told.
class LogView : public View {
  public:
    LogView(int id, std::string& log) : View(nullptr), id_(std::to_string(id)), log_(log) {}
    void OnEnter() override { log_ += "enter " + id_ + "|"; }
    void OnLeave() override { log_ += "leave " + id_ + "|"; }
    int HandleEvent(InputEvent& e) override {
        log_ += "event " + id_ + ":" + std::to_string(e.type) + "|";
        return answer;
    }
    int answer = 0;

  private:
    std::string id_;
    std::string& log_;
};

// A control that, taking the event, rewrites it into a notification carrying its id.
class FakeControl : public Control {
  public:
    FakeControl(uint16_t controlId, uint8_t takes, std::vector<int>& offered)
        : takes_(takes), offered_(offered) {
        id = controlId;
    }
    uint8_t HandleInput(InputEvent* event) override {
        offered_.push_back(id);
        ++event->x;  // counts itself on the copy it was offered
        if (takes_ != 0) event->type = EV_CONTROL, event->keys[7] = id;
        return takes_;
    }
    uint8_t HitTest(int16_t, int16_t) override { return 0; }

  private:
    uint8_t takes_;
    std::vector<int>& offered_;
};

// A view with controls made on demand, each logging when it is offered an event.
struct ControlsTest : ::testing::Test {
    FakeControl* make(int id, uint8_t takes) {
        return controls.emplace_back(std::make_unique<FakeControl>(id, takes, offered)).get();
    }
    std::vector<int> offered;
    std::vector<std::unique_ptr<FakeControl>> controls;
    std::string log;
    LogView view{0, log};
};

TEST_F(ControlsTest, TheFirstTakerStopsTheEventAndTheSharedCopyComesBackOnlyWhenTaken) {
    const std::tuple<std::vector<uint8_t>, uint8_t, std::vector<int>> cases[] = {
        {{0, 1, 1}, 1, {1, 2}}, {{0x80, 1}, 0x80, {1}}, {{0, 0}, 0, {1, 2}}};
    for (const auto& [takes, answer, expected] : cases) {
        view.ClearControls(), offered.clear(), controls.clear();
        for (uint8_t t : takes) view.AddControl(make(controls.size() + 1, t));
        InputEvent e;
        e.type = EV_PEN_DOWN;
        EXPECT_EQ(view.OfferEvent(e), answer);
        EXPECT_EQ(offered, expected);
        EXPECT_EQ(e.type, answer ? EV_CONTROL : EV_PEN_DOWN);
        EXPECT_EQ(e.keys[7], answer ? expected.back() : 0);
        // One copy goes round the controls, and comes back only when taken.
        EXPECT_EQ(e.x, answer ? static_cast<int>(expected.size()) : 0);
    }
}

TEST_F(ControlsTest, AFortyFirstIsRefusedAndRemoveMovesTheLastIntoTheFreedSlot) {
    for (int i = 0; i <= View::kMaxControls; ++i)
        EXPECT_EQ(view.AddControl(make(i, i == View::kMaxControls)), i < View::kMaxControls) << i;
    InputEvent e;
    EXPECT_EQ(view.OfferEvent(e), 0);  // the refused one is never offered anything
    view.ClearControls();
    for (int i = 0; i < 3; ++i) view.AddControl(controls[i].get());
    view.RemoveControl(0);
    view.RemoveControl(5);  // no such slot: nothing happens
    ASSERT_EQ(view.controlCount, 2);
    EXPECT_EQ(std::pair(view.controls[0], view.controls[1]),
              (std::pair<Control*, Control*>(controls[2].get(), controls[1].get())));
}

TEST_F(ControlsTest, BorrowedFramesStayWithTheLenderOwnedOnesAreFreedOnce) {
    Image source;
    source.createBlank(4, 3);
    Image* const shared[] = {&source};
    FakeControl a(1, 0, offered);
    a.ReleasePictures();  // without a frame set: harmless
    a.frames = new FrameSet;
    a.frames->borrow(shared, 1);
    a.ReleasePictures();
    EXPECT_EQ(a.frames, nullptr);
    ASSERT_NE(source.bitmap, nullptr);
    auto* b = new FakeControl(2, 0, offered);
    b->frames = new FrameSet;
    b->frames->frames[b->frames->count++] = new Image;
    b->ReleasePictures();
    b->ReleasePictures();  // nothing left to free, nor for the destructor
    delete b;
}

std::string idsOf(const ViewManager& m) {
    return std::to_string(m.nextId) + " prev " + std::to_string(m.previousId) + " depth " +
           std::to_string(m.historyDepth);
}

class ViewManagerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset();
        for (int id = 0; id < 20; ++id)
            manager.AddView(views.emplace_back(std::make_unique<LogView>(id, log)).get(), id);
    }
    // Dispatches one frame and answers what happened since the last look.
    std::string frame(int type = EV_NONE) {
        InputEvent e;
        e.type = type;
        manager.Dispatch(e);
        return std::exchange(log, "");
    }
    std::string ids() const { return idsOf(manager); }
    std::string log;
    std::vector<std::unique_ptr<LogView>> views;
    ViewManager manager;
};

TEST_F(ViewManagerTest, SwitchesHappenAtTheNextDispatchAsAViewEnteredEvent) {
    manager.StartWith(12);
    EXPECT_EQ(frame(EV_PEN_DOWN), "enter 12|event 12:1|");  // no view-entered event
    manager.GoTo(3);
    EXPECT_EQ(manager.currentId, 12);  // nothing happens before the next frame
    EXPECT_EQ(ids(), "3 prev 12 depth 0");
    InputEvent e;
    e.type = EV_PEN_DOWN;
    e.x = 17;
    e.keys[0] = KEY_DOWN;
    manager.Dispatch(e);
    EXPECT_EQ(std::exchange(log, ""), "leave 12|enter 3|event 3:20|");
    EXPECT_EQ(e.type, EV_VIEW_ENTER);
    EXPECT_EQ(e.x + e.keys[0], 17 + KEY_DOWN);  // the rest stays as the message filled it

    manager.GoTo(3);  // its own id: no switch, but it becomes the previous view
    EXPECT_EQ(frame(EV_KEYS), "event 3:4|");
    for (int remember : {0, 2}) manager.GoTo(7, remember);  // only 1 means remember
    EXPECT_EQ(ids(), "7 prev 3 depth 0");
    manager.GoTo(4, 1);
    manager.GoTo(10, 1);
    EXPECT_EQ(frame(), "leave 3|enter 10|event 10:20|");  // the last request wins
    EXPECT_EQ(ids(), "10 prev 3 depth 2");                // but each one pushed view 3
    manager.GoBack();
    EXPECT_EQ(ids(), "3 prev 10 depth 1");
    EXPECT_EQ(frame(), "leave 10|enter 3|event 3:20|");
}

TEST_F(ViewManagerTest, HistoryKeepsNineteenEntriesNewestFirstAndEmptyGoBackStays) {
    manager.StartWith(0);
    for (int i = 1; i <= 20; ++i) {
        manager.GoTo(static_cast<uint8_t>(i % 20), 1);
        frame();
    }
    // The twentieth push (of view 19) went past the top and was lost.
    for (int id = 18; id >= 0; --id) {
        manager.GoBack();
        EXPECT_EQ(manager.nextId, id);
        frame();
    }
    manager.GoBack();
    EXPECT_EQ(ids(), "0 prev 0 depth 0");
    EXPECT_EQ(frame(), "event 0:0|");
}

TEST_F(ViewManagerTest, DepthSetFromOutsideKeepsOnlyTheOldest) {
    manager.StartWith(0);
    for (uint8_t id : {1, 5, 0}) {
        manager.GoTo(id, id != 0);
        frame();
        if (id == 5) manager.historyDepth = 1;  // the pause menu's way back to the main menu
    }
    manager.GoBack();
    EXPECT_EQ(ids(), "0 prev 0 depth 0");
}

TEST_F(ViewManagerTest, AnswersPassThroughAndTwoCallsOnLeaveOnce) {
    manager.StartWith(0);
    for (int answer : {0, 1, 2}) {
        views[0]->answer = answer;
        InputEvent e;
        EXPECT_EQ(manager.Dispatch(e), answer);
    }
    EXPECT_EQ(log, "enter 0|event 0:0|event 0:0|event 0:0|leave 0|");
}

TEST_F(ViewManagerTest, MissingViewsAreReportedAndChangeNothingAndAddViewReplaces) {
    ViewManager m;
    LogView v(0, log);
    for (int bad : {20, 255, -1}) m.AddView(&v, bad);  // -1 is taken as a byte: 255
    m.StartWith(3);
    m.AddView(&v, 2);
    m.StartWith(2);
    m.GoTo(9, 1);
    EXPECT_EQ(idsOf(m), "2 prev 2 depth 0");
    m.GoTo(25);
    const std::string more = "More views than are permited", none = "Not such View in View List";
    EXPECT_EQ(headless::messageBoxes(),
              (std::vector<std::string>{more, more, more, "This view is not added to View List",
                                        none, none}));
    LogView other(99, log);
    manager.AddView(&other, 6);
    manager.StartWith(6);
    EXPECT_EQ(log, "enter 0|enter 99|");
}

using ApplicationTest = ViewManagerTest;
using platform::Message;

TEST_F(ApplicationTest, AnotherCopyEndsWithZeroAndNoWindowWithOne) {
    headless::setAnotherCopyRunning(true);
    Application other;
    EXPECT_EQ(other.Main(), 0);
    EXPECT_FALSE(headless::windowCreated());
    EXPECT_EQ(other.viewManager, nullptr);
    headless::reset();
    headless::setWindowAvailable(false);
    Application failed;
    EXPECT_EQ(failed.Main(), 1);
    EXPECT_EQ(failed.game, nullptr);
    EXPECT_TRUE(headless::waitCursorShown());  // shown before anything else
}

TEST_F(ApplicationTest, PollEventKeepsTheMainLoopsPenPositionAndStopsForGoodOnClose) {
    Application app;
    app.input.penX = 33;
    ASSERT_TRUE(platform::startTimer(10));
    headless::postMessage(Message{platform::MSG_LBUTTONDOWN, 0, platform::packPoint(5, 6)});
    InputEvent e;
    using T3 = std::tuple<int, int, int>;
    auto poll = [&] { return app.pollEvent(e) ? T3(e.type, e.x, e.y) : T3(-1, 0, 0); };
    EXPECT_EQ(poll(), T3(EV_PEN_DOWN, 5, 6));
    // The flag word and the pen flag are the main loop's; its position is not.
    EXPECT_EQ(app.input.flags & FLAG_PEN, FLAG_PEN);
    EXPECT_EQ(app.input.penDown, 1);
    EXPECT_EQ(poll(), T3(EV_PEN_DRAG, 0, 0));  // a timer tick: a drag at (0, 0)
    headless::postMessage(Message{platform::MSG_LBUTTONUP, 0, platform::packPoint(7, 8)});
    EXPECT_EQ(poll(), T3(EV_PEN_UP, 7, 8));
    EXPECT_EQ(std::pair(int(app.input.penDown), int(app.input.penX)), std::pair(0, 33));
    headless::postQuit();
    EXPECT_FALSE(app.pollEvent(e));
    EXPECT_FALSE(app.pollEvent(e));  // and keeps saying so: no modal loop can hang
    EXPECT_TRUE(app.quitSeen);
    app.run();  // ends at once: without a view manager, dispatching would crash
}

TEST_F(ApplicationTest, ConsumedFrameGoesNoFurtherAndAnswerTwoEndsTheLoop) {
    Application app;
    manager.StartWith(0);
    app.viewManager = &manager;  // no game object: reaching it would crash
    views[0]->answer = 1;
    InputEvent e;
    EXPECT_TRUE(app.dispatchFrame(e));
    views[0]->answer = 2;
    EXPECT_FALSE(app.dispatchFrame(e));
    EXPECT_EQ(std::exchange(log, ""), "enter 0|event 0:0|event 0:0|leave 0|");
    // The main loop ends in the frame the window closed: later messages stay queued.
    views[0]->answer = 1;
    ASSERT_TRUE(platform::startTimer(10));
    headless::postMessage(Message{platform::MSG_KEYDOWN, 37, 0});
    headless::postMessage(Message{platform::MSG_KEYDOWN, 38, 0}, platform::tickCount() + 25);
    headless::postQuit(platform::tickCount() + 25);
    app.run();
    EXPECT_EQ(log, "event 0:4|event 0:4|event 0:4|event 0:4|");  // key, two ticks, key
    app.viewManager = nullptr;
}

}  // namespace
