// Switching views between frames, the history, and the messages for bad ids.
#include "shell/view_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "shell/view.h"

namespace {

// A view that writes what happens to it into a shared log and answers as told.
class LogView : public View {
  public:
    LogView(int id, std::vector<std::string>& log) : View(nullptr), id_(id), log_(log) {}
    void OnEnter() override { log_.push_back("enter " + std::to_string(id_)); }
    void OnLeave() override { log_.push_back("leave " + std::to_string(id_)); }
    int HandleEvent(InputEvent& event) override {
        log_.push_back("event " + std::to_string(id_) + " type " + std::to_string(event.type));
        return answer;
    }
    int answer = 0;

  private:
    int id_;
    std::vector<std::string>& log_;
};

class ViewManagerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset();
        for (int id = 0; id < 20; ++id) views.emplace_back(std::make_unique<LogView>(id, log));
        for (int id = 0; id < 20; ++id) manager.AddView(views[id].get(), id);
    }
    void TearDown() override { headless::reset(); }

    int frame(int type = EV_NONE) {
        InputEvent e;
        e.type = type;
        return manager.Dispatch(e);
    }

    std::vector<std::string> log;
    std::vector<std::unique_ptr<LogView>> views;
    ViewManager manager;
};

TEST_F(ViewManagerTest, StartWithEntersWithoutAViewEnteredEvent) {
    manager.StartWith(12);
    EXPECT_EQ(manager.currentId, 12);
    EXPECT_EQ(manager.nextId, 12);
    frame(EV_PEN_DOWN);
    EXPECT_EQ(log, (std::vector<std::string>{"enter 12", "event 12 type 1"}));
}

TEST_F(ViewManagerTest, SwitchHappensAtTheNextDispatchAsAViewEnteredEvent) {
    manager.StartWith(0);
    manager.GoTo(3);
    EXPECT_EQ(manager.currentId, 0);  // nothing happens before the next frame
    EXPECT_EQ(manager.previousId, 0);
    log.clear();
    InputEvent e;
    e.type = EV_PEN_DOWN;
    e.x = 17;
    e.keyCount = 1;
    e.keys[0] = KEY_DOWN;
    manager.Dispatch(e);
    EXPECT_EQ(log, (std::vector<std::string>{"leave 0", "enter 3", "event 3 type 20"}));
    EXPECT_EQ(e.type, EV_VIEW_ENTER);
    EXPECT_EQ(e.x, 17);  // everything else stays as the message filled it
    EXPECT_EQ(e.keys[0], KEY_DOWN);
    EXPECT_EQ(manager.currentId, 3);
}

TEST_F(ViewManagerTest, SeveralRequestsInOneFrameLeaveTheLast) {
    manager.StartWith(0);
    manager.GoTo(3, 1);
    manager.GoTo(10, 1);
    log.clear();
    frame();
    EXPECT_EQ(log, (std::vector<std::string>{"leave 0", "enter 10", "event 10 type 20"}));
    EXPECT_EQ(manager.historyDepth, 2);  // each request pushed
}

TEST_F(ViewManagerTest, GoToOwnIdRequestsNoSwitchButUpdatesPrevious) {
    manager.StartWith(1);
    manager.GoTo(5);
    frame();
    manager.GoTo(5);
    EXPECT_EQ(manager.previousId, 5);
    log.clear();
    frame(EV_KEYS);
    EXPECT_EQ(log, (std::vector<std::string>{"event 5 type 4"}));
}

TEST_F(ViewManagerTest, RememberedSwitchAndBackReportsThePreviousView) {
    manager.StartWith(1);
    manager.GoTo(5, 1);
    frame();
    EXPECT_EQ(manager.historyDepth, 1);
    manager.GoBack();
    EXPECT_EQ(manager.previousId, 5);
    log.clear();
    frame();
    EXPECT_EQ(log, (std::vector<std::string>{"leave 5", "enter 1", "event 1 type 20"}));
    EXPECT_EQ(manager.historyDepth, 0);
}

TEST_F(ViewManagerTest, UnrememberedSwitchPushesNothing) {
    manager.StartWith(1);
    manager.GoTo(7);
    manager.GoTo(7, 0);
    manager.GoTo(7, 2);  // only 1 means remember
    EXPECT_EQ(manager.historyDepth, 0);
}

TEST_F(ViewManagerTest, HistoryKeepsNineteenEntriesNewestFirst) {
    manager.StartWith(0);
    // Twenty remembered switches, each from a distinct view id (0..19 in turn).
    for (int i = 0; i < 20; ++i) {
        manager.GoTo(static_cast<uint8_t>((i + 1) % 20), 1);
        frame();
    }
    EXPECT_EQ(manager.historyDepth, 19);
    std::vector<int> popped;
    for (int i = 0; i < 19; ++i) {
        manager.GoBack();
        popped.push_back(manager.nextId);
        frame();
    }
    // The twentieth push (id 19) wrote the slot past the top and was lost.
    std::vector<int> expected;
    for (int id = 18; id >= 0; --id) expected.push_back(id);
    EXPECT_EQ(popped, expected);
    EXPECT_EQ(manager.historyDepth, 0);
}

TEST_F(ViewManagerTest, GoBackOnAnEmptyHistoryStays) {
    manager.StartWith(4);
    manager.GoBack();
    EXPECT_EQ(manager.historyDepth, 0);
    EXPECT_EQ(manager.nextId, 4);
    EXPECT_EQ(manager.previousId, 4);
    log.clear();
    frame();
    EXPECT_EQ(log, (std::vector<std::string>{"event 4 type 0"}));
}

TEST_F(ViewManagerTest, DepthSetFromOutsideKeepsOnlyTheOldest) {
    manager.StartWith(0);
    manager.GoTo(1, 1);
    frame();
    manager.GoTo(5, 1);
    frame();
    manager.historyDepth = 1;  // the pause menu's way back to the main menu
    manager.GoTo(0);
    frame();
    manager.GoBack();
    EXPECT_EQ(manager.nextId, 0);
    EXPECT_EQ(manager.historyDepth, 0);
}

TEST_F(ViewManagerTest, AnswerTwoCallsOnLeaveOnceAndEntersNothing) {
    manager.StartWith(0);
    views[0]->answer = 2;
    log.clear();
    EXPECT_EQ(frame(EV_PEN_UP), 2);
    EXPECT_EQ(log, (std::vector<std::string>{"event 0 type 2", "leave 0"}));
}

TEST_F(ViewManagerTest, AnswersArePassedThrough) {
    manager.StartWith(0);
    for (int answer : {0, 1}) {
        views[0]->answer = answer;
        EXPECT_EQ(frame(), answer);
    }
}

TEST_F(ViewManagerTest, MissingViewsAreReportedAndChangeNothing) {
    ViewManager m;
    LogView v(0, log);
    m.AddView(&v, 20);
    m.AddView(&v, 255);
    m.AddView(&v, -1);  // taken as a byte: 255
    m.StartWith(3);
    m.AddView(&v, 2);
    m.StartWith(2);
    m.GoTo(9, 1);
    EXPECT_EQ(m.nextId, 2);
    EXPECT_EQ(m.historyDepth, 0);
    EXPECT_EQ(m.previousId, 2);
    m.GoTo(25);
    const std::vector<std::string> expected = {
        "More views than are permited", "More views than are permited",
        "More views than are permited", "This view is not added to View List",
        "Not such View in View List",   "Not such View in View List"};
    EXPECT_EQ(headless::messageBoxes(), expected);
    EXPECT_EQ(log, (std::vector<std::string>{"enter 0"}));
}

TEST_F(ViewManagerTest, AddViewReplacesAnEarlierEntry) {
    LogView other(99, log);
    manager.AddView(&other, 6);
    manager.StartWith(6);
    EXPECT_EQ(log, (std::vector<std::string>{"enter 99"}));
}

}  // namespace
