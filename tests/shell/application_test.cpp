// The application's exit status, its frame dispatch and the modal loops' event wait,
// on the headless backend.
#include "shell/application.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/view.h"
#include "shell/view_manager.h"

namespace {

using platform::Message;

class ApplicationTest : public ::testing::Test {
  protected:
    void SetUp() override { headless::reset(); }
    void TearDown() override { headless::reset(); }
};

TEST_F(ApplicationTest, AnotherCopyRunningEndsWithZeroCreatingNothing) {
    headless::setAnotherCopyRunning(true);
    Application app;
    EXPECT_EQ(app.Main(), 0);
    EXPECT_FALSE(headless::windowCreated());
    EXPECT_EQ(app.viewManager, nullptr);
    EXPECT_EQ(app.settings, nullptr);
}

TEST_F(ApplicationTest, NoWindowIsAFailedStart) {
    headless::setWindowAvailable(false);
    Application app;
    EXPECT_EQ(app.Main(), 1);
    EXPECT_EQ(app.game, nullptr);
    EXPECT_TRUE(headless::waitCursorShown());  // shown before anything else
}

TEST_F(ApplicationTest, PollEventTakesThePositionOfPenMessagesOnly) {
    Application app;
    app.input.penX = 33;
    app.input.penY = 44;
    ASSERT_TRUE(platform::startTimer(10));
    headless::postMessage(Message{platform::MSG_LBUTTONDOWN, 0, platform::packPoint(5, 6)});
    InputEvent e;
    ASSERT_TRUE(app.pollEvent(e));
    EXPECT_EQ(e.type, EV_PEN_DOWN);
    EXPECT_EQ(e.x, 5);
    EXPECT_EQ(e.y, 6);
    // The flag word and the pen flag are the main loop's; its position is not.
    EXPECT_EQ(app.input.flags & FLAG_PEN, FLAG_PEN);
    EXPECT_EQ(app.input.penDown, 1);
    EXPECT_EQ(app.input.penX, 33);
    EXPECT_EQ(app.input.penY, 44);

    ASSERT_TRUE(app.pollEvent(e));  // a timer tick: a drag at (0, 0)
    EXPECT_EQ(e.type, EV_PEN_DRAG);
    EXPECT_EQ(e.x, 0);
    EXPECT_EQ(e.y, 0);

    headless::postMessage(Message{platform::MSG_LBUTTONUP, 0, platform::packPoint(7, 8)});
    ASSERT_TRUE(app.pollEvent(e));
    EXPECT_EQ(e.type, EV_PEN_UP);
    EXPECT_EQ(e.x, 7);
    EXPECT_EQ(app.input.penDown, 0);
    EXPECT_EQ(app.input.penX, 33);
}

TEST_F(ApplicationTest, ClosedWindowEndsModalLoopsAndThenTheMainLoop) {
    Application app;
    headless::postQuit();
    InputEvent e;
    EXPECT_FALSE(app.pollEvent(e));
    EXPECT_TRUE(app.quitSeen);
    EXPECT_FALSE(app.pollEvent(e));  // and keeps saying so: no modal loop can hang
    // The main loop then ends at once: it has no view manager, so dispatching
    // anything would crash.
    app.run();
    EXPECT_TRUE(app.quitSeen);
}

class AnsweringView : public View {
  public:
    AnsweringView() : View(nullptr) {}
    void OnEnter() override {}
    void OnLeave() override { ++leaves; }
    int HandleEvent(InputEvent&) override {
        ++events;
        return answer;
    }
    int answer = 1;
    int events = 0;
    int leaves = 0;
};

TEST_F(ApplicationTest, ConsumedFrameGoesNoFurtherAndAnswerTwoEndsTheLoop) {
    Application app;
    ViewManager vm;
    AnsweringView view;
    vm.AddView(&view, 0);
    vm.StartWith(0);
    app.viewManager = &vm;  // no game object: reaching it would crash
    InputEvent e;
    EXPECT_TRUE(app.dispatchFrame(e));
    view.answer = 2;
    EXPECT_FALSE(app.dispatchFrame(e));
    EXPECT_EQ(view.leaves, 1);

    // The main loop ends in the same frame: later messages stay queued.
    view.answer = 1;
    view.events = 0;
    ASSERT_TRUE(platform::startTimer(10));
    headless::postMessage(Message{platform::MSG_KEYDOWN, 37, 0});
    headless::postMessage(Message{platform::MSG_KEYDOWN, 38, 0}, platform::tickCount() + 25);
    headless::postQuit(platform::tickCount() + 25);
    app.run();
    EXPECT_EQ(view.events, 4);  // key, two timer ticks, key; then the window closed
    app.viewManager = nullptr;
}

}  // namespace
