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

using V = std::vector<long>;  // several values compared at once, evaluated left to right

// A view that writes what happens to it into a shared log and answers as told.
struct LogView : View {
    LogView(int n, std::string& l) : View(nullptr), name(std::to_string(n)), log(l) {}
    void OnEnter() override { log += "enter " + name + "|"; }
    void OnLeave() override { log += "leave " + name + "|"; }
    int HandleEvent(InputEvent& e) override {
        log += "event " + name + ":" + std::to_string(e.type) + "|";
        return answer;
    }
    std::string name;
    std::string& log;
    int answer = 0;
};

// A control that, taking the event, rewrites it into a notification carrying its id.
struct FakeControl : Control {
    FakeControl(uint16_t n, uint8_t t, std::vector<int>& o) : takes(t), offered(o) { id = n; }
    uint8_t HandleInput(InputEvent* event) override {
        offered.push_back(id);
        ++event->x;  // counts itself on the copy it was offered
        if (takes != 0) event->type = EV_CONTROL, event->keys[7] = id;
        return takes;
    }
    uint8_t HitTest(int16_t, int16_t) override { return 0; }
    uint8_t takes;
    std::vector<int>& offered;
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
        // One copy goes round the controls (x counts them), and comes back only when taken.
        EXPECT_EQ((V{view.OfferEvent(e), e.type, e.keys[7], e.x}),
                  (answer ? V{answer, EV_CONTROL, expected.back(), long(expected.size())}
                          : V{0, EV_PEN_DOWN, 0, 0}));
        EXPECT_EQ(offered, expected);
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
    return std::to_string(m.currentId) + " to " + std::to_string(m.nextId) + " prev " +
           std::to_string(m.previousId) + " depth " + std::to_string(m.historyDepth);
}

class ViewManagerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset();
        for (int id = 0; id < 20; ++id)
            manager.AddView(views.emplace_back(std::make_unique<LogView>(id, log)).get(), id);
    }
    // Dispatches one frame and answers what happened since the last look.
    std::string frame(int type = EV_NONE, int16_t x = 0) {
        last = InputEvent{};
        last.type = type;
        last.x = x;
        manager.Dispatch(last);
        return std::exchange(log, "");
    }
    std::string go(uint8_t id, uint8_t remember = 1) {
        manager.GoTo(id, remember);
        return frame();
    }
    std::string ids() const { return idsOf(manager); }
    InputEvent last;
    std::string log;
    std::vector<std::unique_ptr<LogView>> views;
    ViewManager manager;
};

TEST_F(ViewManagerTest, SwitchesHappenAtTheNextDispatchAsAViewEnteredEvent) {
    manager.StartWith(12);
    EXPECT_EQ(frame(EV_PEN_DOWN), "enter 12|event 12:1|");  // no view-entered event
    manager.GoTo(3);
    EXPECT_EQ(ids(), "12 to 3 prev 12 depth 0");  // nothing happens before the next frame
    EXPECT_EQ(frame(EV_PEN_DOWN, 17), "leave 12|enter 3|event 3:20|");
    EXPECT_EQ((V{last.type, last.x}), (V{EV_VIEW_ENTER, 17}));  // the rest stays as it was
    manager.GoTo(3);  // its own id: no switch, but it becomes the previous view
    EXPECT_EQ(frame(EV_KEYS), "event 3:4|");
    for (int remember : {0, 2}) manager.GoTo(7, remember);  // only 1 means remember
    EXPECT_EQ(ids(), "3 to 7 prev 3 depth 0");
    manager.GoTo(4, 1);
    EXPECT_EQ(go(10), "leave 3|enter 10|event 10:20|");  // the last request wins
    EXPECT_EQ(ids(), "10 to 10 prev 3 depth 2");         // but each one pushed view 3
    manager.GoBack();
    EXPECT_EQ(ids(), "10 to 3 prev 10 depth 1");
    EXPECT_EQ(frame(), "leave 10|enter 3|event 3:20|");
}

TEST_F(ViewManagerTest, HistoryKeepsNineteenEntriesNewestFirstAndEmptyGoBackStays) {
    manager.StartWith(0);
    for (int i = 1; i <= 20; ++i) go(static_cast<uint8_t>(i % 20));
    // The twentieth push (of view 19) went past the top and was lost.
    for (int id = 18; id >= 0; --id) {
        manager.GoBack();
        EXPECT_EQ(manager.nextId, id);
        frame();
    }
    manager.GoBack();
    EXPECT_EQ(ids(), "0 to 0 prev 0 depth 0");
    EXPECT_EQ(frame(), "event 0:0|");
}

TEST_F(ViewManagerTest, DepthSetFromOutsideKeepsOnlyTheOldest) {
    manager.StartWith(0);
    go(1), go(5);
    manager.historyDepth = 1;  // the pause menu's way back to the main menu
    go(0, 0);
    manager.GoBack();
    EXPECT_EQ(ids(), "0 to 0 prev 0 depth 0");
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
    EXPECT_EQ(idsOf(m), "2 to 2 prev 2 depth 0");
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
    EXPECT_EQ((V{other.Main(), headless::windowCreated(), other.viewManager != nullptr}),
              (V{0, 0, 0}));
    headless::reset();
    headless::setWindowAvailable(false);
    Application failed;  // the wait cursor is shown before anything else
    EXPECT_EQ((V{failed.Main(), failed.game != nullptr, headless::waitCursorShown()}),
              (V{1, 0, 1}));
}

TEST_F(ApplicationTest, PollEventKeepsTheMainLoopsPenPositionAndStopsForGoodOnClose) {
    Application app;
    app.input.penX = 33;
    ASSERT_TRUE(platform::startTimer(10));
    headless::postMessage(Message{platform::MSG_LBUTTONDOWN, 0, platform::packPoint(5, 6)});
    InputEvent e;
    auto poll = [&] { return app.pollEvent(e) ? V{e.type, e.x, e.y} : V{-1}; };
    EXPECT_EQ(poll(), (V{EV_PEN_DOWN, 5, 6}));
    // The flag word and the pen flag are the main loop's; its position is not.
    EXPECT_EQ((V{app.input.flags & FLAG_PEN, app.input.penDown}), (V{FLAG_PEN, 1}));
    EXPECT_EQ(poll(), (V{EV_PEN_DRAG, 0, 0}));  // a timer tick: a drag at (0, 0)
    headless::postMessage(Message{platform::MSG_LBUTTONUP, 0, platform::packPoint(7, 8)});
    EXPECT_EQ(poll(), (V{EV_PEN_UP, 7, 8}));
    EXPECT_EQ((V{app.input.penDown, app.input.penX}), (V{0, 33}));
    headless::postQuit();  // then no more events, for good: no modal loop can hang
    EXPECT_EQ((V{app.pollEvent(e), app.pollEvent(e), app.quitSeen}), (V{0, 0, 1}));
    app.run();  // ends at once: without a view manager, dispatching would crash
}

TEST_F(ApplicationTest, ConsumedFrameGoesNoFurtherAndAnswerTwoEndsTheLoop) {
    Application app;
    manager.StartWith(0);
    app.viewManager = &manager;  // no game object: reaching it would crash
    for (int answer : {1, 2}) {
        views[0]->answer = answer;
        EXPECT_EQ(app.dispatchFrame(last), answer == 1);
    }
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
