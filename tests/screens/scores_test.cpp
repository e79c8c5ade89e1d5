// The scores screen: entering a round's score, paging, the statistics page and clearing
// the table through the confirmation box, also when the window goes away meanwhile.
#include <deque>

#include "audio/sound_ids.h"
#include "screen_fixture.h"
#include "screens/button.h"
#include "screens/confirm_box.h"
#include "screens/scores_view.h"
#include "shell/application.h"
#include "shell/view_ids.h"

namespace {

using namespace screentest;

// An event source for a confirmation box that plays a script instead of the window.
auto reader(std::deque<InputEvent>& script) {
    return [&script](InputEvent& e) {
        if (script.empty()) return false;
        e = script.front();
        script.pop_front();
        return true;
    };
}

class ScriptedScores : public ScoresView {
  public:
    using ScoresView::ScoresView;
    std::unique_ptr<ConfirmBox> MakeConfirmBox() override {
        ++boxes;
        return std::make_unique<ConfirmBox>(surface, reader(script));
    }
    std::deque<InputEvent> script;
    int boxes = 0;
};

struct Point {
    int x, y;
};
constexpr Point kBack{210, 30}, kReset{210, 110}, kPageButton{210, 210};

class ScoresTest : public ScreenFixture {
  protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        owned = std::make_unique<ScriptedScores>(surface.get());
        view = static_cast<ScriptedScores*>(owned.get());
    }
    void fill(int n) {
        settings->hiScores->ClearAll();
        for (int i = 0; i < n; ++i) {
            HiScoreRecord r;
            r.score = 100 * (i + 1);
            r.name[0] = static_cast<char16_t>(u'A' + i);
            settings->hiScores->Insert(r);
        }
    }
    int tap(Point p) { return ScreenFixture::tap(*view, p.x, p.y); }
    static int storedCount() {
        HiScoreTable stored;
        stored.CreateDatabase();
        stored.Load();
        return stored.CountFilled();
    }
    ScriptedScores* view = nullptr;
};

TEST_F(ScoresTest, PagingNeedsMoreThanThreeEntries) {
    for (auto [filled, afterOne, afterTwo] :
         {std::tuple{0, 0, 0}, {3, 0, 0}, {4, 5, 0}, {10, 5, 0}}) {
        fill(filled);
        enter(*view, VIEW_SCORES, VIEW_MAIN_MENU);
        EXPECT_EQ(view->firstRow, 0);
        EXPECT_EQ(tap({100, 200}), 0);
        EXPECT_EQ(view->firstRow, afterOne) << filled << " entries";
        tap({100, 200});
        EXPECT_EQ(view->firstRow, afterTwo) << filled << " entries";
    }
}

TEST_F(ScoresTest, AFinishedRoundIsEnteredOnceUnderThePlayersNameIfThereIsOne) {
    fill(2);
    setUserName(u"");
    settings->pendingScore = 150;
    settings->resultPending = 1;
    enter(*view, VIEW_SCORES, VIEW_GAME);
    EXPECT_EQ(ints(settings->hiScores->CountFilled(), settings->resultPending), ints(2, 1));
    setUserName(u"KIM");
    reenter();
    HiScoreRecord r;
    settings->hiScores->GetRecord(1, r);
    EXPECT_EQ(ints(settings->resultPending, settings->hiScores->CountFilled(), r.score, r.latest),
              ints(0, 3, 150, 1));
    EXPECT_EQ(std::u16string(r.name), u"KIM");
    reenter();  // no second entry for the same round
    EXPECT_EQ(settings->hiScores->CountFilled(), 3);
}

TEST_F(ScoresTest, StatisticsPageDisablesResetAndIgnoresPagingTaps) {
    fill(6);
    enter(*view, VIEW_SCORES, VIEW_MAIN_MENU);
    tap(kPageButton);
    EXPECT_EQ(ints(view->resultsPage, view->clearButton->state), ints(1, Button::kDisabled));
    tap(kReset);
    tap({100, 200});
    EXPECT_EQ(ints(view->boxes, view->firstRow), ints(0, 0));
    tap(kPageButton);
    EXPECT_EQ(ints(view->resultsPage, view->clearButton->state, view->controlCount),
              ints(0, Button::kNormal, 3));
}

TEST_F(ScoresTest, ResetClearsOnlyAfterOk) {
    fill(4);
    enter(*view, VIEW_SCORES, VIEW_MAIN_MENU);
    // Cancel keeps the table.
    view->script = {event(EV_PEN_DOWN, 150, 120), event(EV_PEN_UP, 150, 120)};
    tap(kReset);
    EXPECT_EQ(ints(view->boxes, settings->hiScores->CountFilled()), ints(1, 4));
    // A release outside both areas keeps the box open; OK then clears.
    view->script = {event(EV_PEN_DOWN, 150, 210), event(EV_PEN_UP, 100, 100),
                    event(EV_PEN_DOWN, 150, 210), event(EV_PEN_UP, 150, 210)};
    tap(kReset);
    EXPECT_EQ(ints(view->script.size(), settings->hiScores->CountFilled()), ints(0, 0));
}

TEST_F(ScoresTest, ConfirmationAreasIncludeTheirEdges) {
    // 1 OK, 0 Cancel, -1 keeps waiting for the OK that follows.
    const std::tuple<int, int, int> cases[] = {{137, 190, 1},  {161, 230, 1},  {136, 200, -1},
                                               {162, 200, -1}, {150, 231, -1}, {137, 84, 0},
                                               {161, 170, 0},  {150, 83, -1},  {150, 180, -1}};
    for (auto [x, y, expected] : cases) {
        std::deque<InputEvent> script = {event(EV_PEN_UP, x, y), event(EV_PEN_UP, 150, 210)};
        ConfirmBox box(surface.get(), reader(script));
        const int answer = box.Run();
        EXPECT_EQ(ints(answer, script.size()), expected < 0 ? ints(1, 0) : ints(expected, 1))
            << x << "," << y;
    }
    // Pressing either button clicks; pressing beside them does not.
    for (auto [x, y, clicks] : {std::tuple{150, 210, 1}, {150, 120, 1}, {150, 180, 0}}) {
        const int before = soundsStarted(SOUND_BUTTON);
        std::deque<InputEvent> script = {event(EV_PEN_DOWN, x, y), event(EV_PEN_UP, 150, 210)};
        ConfirmBox(surface.get(), reader(script)).Run();
        EXPECT_EQ(soundsStarted(SOUND_BUTTON) - before, clicks) << x << "," << y;
    }
}

TEST_F(ScoresTest, ClosingTheWindowWhileTheBoxIsOpenEndsItAsCancel) {
    application().quitSeen = false;
    application().input = InputState{};
    headless::postMessage({platform::MSG_LBUTTONDOWN, 0, platform::packPoint(150, 210)});
    headless::postQuit();
    {
        ConfirmBox box(surface.get());
        EXPECT_EQ(box.Run(), 0);
    }
    EXPECT_TRUE(application().quitSeen);
    // A second box after the window is gone returns at once as well.
    ConfirmBox again(surface.get());
    EXPECT_EQ(again.Run(), 0);
    application().quitSeen = false;
}

TEST_F(ScoresTest, LeavingAfterARoundSavesTheTableLeavingFromTheMenuDoesNot) {
    fill(2);
    enter(*view, VIEW_SCORES, VIEW_GAME);
    manager.previousId = VIEW_GAME;
    tap(kBack);
    EXPECT_EQ(manager.nextId, VIEW_GAME);
    leave();
    EXPECT_EQ(storedCount(), 2);
    fill(3);
    enter(*view, VIEW_SCORES, VIEW_MAIN_MENU);
    manager.previousId = VIEW_MAIN_MENU;
    tap(kBack);
    EXPECT_EQ(storedCount(), 2);
}

}  // namespace
