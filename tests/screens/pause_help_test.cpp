// The pause menu's slide-in and buttons, help paging, the about box and the credits'
// fade table.
#include "audio/sound_ids.h"
#include "graphics/blitters.h"
#include "graphics/picture_ids.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "screen_fixture.h"
#include "screens/about_view.h"
#include "screens/credits_view.h"
#include "screens/help_view.h"
#include "screens/pause_menu_view.h"
#include "screens/transition_view.h"
#include "shell/view_ids.h"

namespace {

using namespace screentest;

class PauseHelpTest : public ScreenFixture {
  protected:
    PauseMenuView& openPause(uint8_t animation, int from = -1) {
        settings->menuAnimation = animation;
        return open<PauseMenuView>(VIEW_PAUSE_MENU, from);
    }
};

TEST_F(PauseHelpTest, PanelSlidesInSeventeenStepsAndIgnoresTapsMeanwhile) {
    PauseMenuView& pause = openPause(1, 1);  // the entering event takes the first step
    EXPECT_EQ(pause.panel->x, 230);
    uint32_t t = headless::now();
    for (int step = 2; step <= 17; ++step) {
        frameAt(pause, t += 31);
        EXPECT_EQ(pause.panel->x, 240 - 10 * step);
        frameAt(pause, t + 30);  // too early for the next step
        EXPECT_EQ(pause.panel->x, 240 - 10 * step);
        // A tap on Resume while it slides does nothing.
        frameAt(pause, t + 30, EV_PEN_DOWN, 215, 270);
        EXPECT_EQ(pause.pressedCode, PauseMenuView::NONE);
    }
    EXPECT_EQ(ints(pause.panelArea.left, pause.panelSource.right, pause.sliding), ints(70, 170, 1));
    frameAt(pause, t += 31);
    EXPECT_EQ(pause.sliding, 0);
}

TEST_F(PauseHelpTest, WithoutAnimationThePanelIsPlacedAtOnce) {
    PauseMenuView& pause = openPause(0);
    EXPECT_EQ(frameAt(pause, headless::now(), EV_PEN_DOWN, 215, 270), 0);
    // The placing event is not a tap.
    EXPECT_EQ(ints(pause.sliding, pause.panel->x, pause.panelArea.left, pause.pressedCode),
              ints(0, 71, 70, PauseMenuView::NONE));
}

TEST_F(PauseHelpTest, ReleaseOnAnotherButtonOnlyRedrawsResumeAndExitLeave) {
    manager.GoTo(VIEW_GAME, 1);  // from the menu to a round, then paused
    PauseMenuView& pause = openPause(0, 1);
    ASSERT_EQ(manager.historyDepth, 2);
    uint32_t t = headless::now();
    frameAt(pause, t);
    frameAt(pause, ++t, EV_PEN_DOWN, 98, 270);  // Options
    EXPECT_EQ(pause.pressedCode, PauseMenuView::OPTIONS);
    frameAt(pause, ++t, EV_PEN_UP, 126, 270);  // released on Score
    EXPECT_EQ(ints(manager.nextId, soundsStarted(SOUND_BUTTON)), ints(VIEW_PAUSE_MENU, 0));
    // Resume goes back to the round and restarts its music.
    frameAt(pause, ++t, EV_PEN_DOWN, 215, 270);
    frameAt(pause, ++t, EV_PEN_UP, 215, 270);
    EXPECT_EQ(ints(manager.nextId, soundsStarted(SOUND_ROUND_MUSIC), soundsStarted(SOUND_BUTTON)),
              ints(VIEW_GAME, 1, 1));
    // Exit goes to the menu keeping only the menu and the pause screen in the history.
    manager.nextId = VIEW_PAUSE_MENU;
    frameAt(pause, ++t, EV_PEN_DOWN, 186, 270);
    frameAt(pause, ++t, EV_PEN_UP, 186, 270);
    EXPECT_EQ(ints(manager.nextId, manager.historyDepth, manager.history[0], manager.history[1]),
              ints(VIEW_MAIN_MENU, 2, VIEW_MAIN_MENU, VIEW_PAUSE_MENU));
}

TEST_F(PauseHelpTest, HelpPagesStopAtBothEndsAndShowHalfTransparentBriefly) {
    HelpView& help = open<HelpView>(VIEW_HELP, VIEW_MAIN_MENU);
    EXPECT_EQ(help.page, PIC_HELP_PAGE_FIRST);
    tap(help, 40, 29);  // previous on the first page: only the click
    EXPECT_EQ(ints(help.page, soundsStarted(SOUND_BUTTON), soundsStarted(SOUND_GONG)),
              ints(PIC_HELP_PAGE_FIRST, 1, 0));
    for (int want = PIC_HELP_PAGE_FIRST + 1; want <= PIC_HELP_PAGE_LAST; ++want) {
        const uint32_t before = headless::now();
        tap(help, 155, 29);
        EXPECT_EQ(ints(help.page, help.pageSprite->blend), ints(want, 0));
        // The blended moment passes on the virtual clock.
        EXPECT_TRUE(headless::now() - before >= 150u && headless::now() - before < 200u);
    }
    tap(help, 155, 29);  // next on the last page
    EXPECT_EQ(ints(help.page, soundsStarted(SOUND_GONG), soundsStarted(SOUND_BUTTON)),
              ints(PIC_HELP_PAGE_LAST, 5, 7));
    tap(help, 40, 29);
    EXPECT_EQ(help.page, PIC_HELP_PAGE_LAST - 1);
    // Leaving for the about box and coming back starts on the first page again.
    tap(help, 210, 260);
    EXPECT_EQ(manager.nextId, VIEW_ABOUT);
    reenter();
    EXPECT_EQ(help.page, PIC_HELP_PAGE_FIRST);
}

TEST_F(PauseHelpTest, AboutGreysTheScreenOnlyWithMenuAnimation) {
    for (uint8_t animation : {0, 1}) {
        settings->menuAnimation = animation;
        // A bright red back buffer shown on the window.
        fillBitmap(*surface->backBuffer(), 0xF800);
        surface->presentAll();
        AboutView& about = open<AboutView>(VIEW_ABOUT, VIEW_HELP);
        // Outside the about picture (45..195 x 60..260) the corner keeps or loses its red.
        EXPECT_EQ(headless::windowDevicePixels()[5 * 240 + 5], animation ? 0x39E7 : 0xF800);
        EXPECT_EQ(frameAt(about, headless::now(), EV_PEN_UP, 5, 5), 0);
        EXPECT_EQ(frameAt(about, headless::now(), EV_PEN_DOWN, 5, 5), 1);
        EXPECT_EQ(manager.nextId, VIEW_HELP);
    }
}

TEST(CreditsTest, FadeTable) {
    const std::pair<int, int> cases[] = {{220, 0}, {219, 1},  {209, 2},  {140, 8},
                                         {139, 9}, {129, 10}, {100, 10}, {99, 9},
                                         {89, 8},  {10, 1},   {9, 0},    {-360, 0}};
    for (auto [x, tenths] : cases) EXPECT_EQ(CreditsView::fadeTenths(x), tenths) << x;
}

TEST_F(PauseHelpTest, CreditLinesCrawlTwoPixelsPerStepAndComeBack) {
    // The entering event takes the first step.
    CreditsView& credits = open<CreditsView>(VIEW_CREDITS, VIEW_HELP);
    EXPECT_EQ(credits.lines[0]->x, 218);
    uint32_t t = headless::now();
    frameAt(credits, t + 50);  // not more than 50 ms later: no step
    EXPECT_EQ(credits.lines[0]->x, 218);
    frameAt(credits, t += 51);
    EXPECT_EQ(credits.lines[0]->x, 216);
    // 291 steps bring the first line round to where it started.
    for (int i = 0; i < 289; ++i) frameAt(credits, t += 51);
    EXPECT_EQ(credits.lines[0]->x, 220);
    EXPECT_EQ(frameAt(credits, t + 1, EV_PEN_DOWN, 10, 10), 1);
    EXPECT_EQ(manager.nextId, VIEW_HELP);
}

// In the middle of the screen a line is no longer faded: the window shows its pixels as
// they are.
TEST_F(PauseHelpTest, ACreditLineInTheMiddleIsShownAsItIs) {
    CreditsView& credits = open<CreditsView>(VIEW_CREDITS, VIEW_HELP);
    uint32_t t = headless::now();
    for (int i = 0; i < 100 && credits.lines[0]->x != 118; ++i) frameAt(credits, t += 51);
    ASSERT_EQ(credits.lines[0]->x, 118);  // this step drew it at x = 120
    const Sprite* line = credits.lines[0];
    const Bitmap& src = *line->image->bitmap;
    const std::vector<uint16_t>& window = headless::windowDevicePixels();
    int drawn = 0, differ = 0;
    // Left of the title, which is drawn over the lines at x = 210.
    for (int y = 0; y < src.height && line->y + y < 320; ++y) {
        for (int x = 0; x < src.width && 120 + x < 210; ++x) {
            ++drawn;
            differ += window[(line->y + y) * 240 + 120 + x] != src.row(y)[x];
        }
    }
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(differ, 0);
}

TEST_F(PauseHelpTest, TransitionRevealsTheMenuBackgroundThenGoesToTheMenu) {
    TransitionView& transition = open<TransitionView>(VIEW_TRANSITION, -1, VIEW_MAIN_MENU);
    fillBitmap(*surface->backBuffer(), 0x001F);
    InputEvent e;
    for (int f = 0; f < TransitionView::kFrames - 1; ++f) {
        EXPECT_EQ(transition.HandleEvent(e), 1);
        ASSERT_EQ(manager.nextId, VIEW_TRANSITION) << "frame " << f;
    }
    // Rows behind the fringe are done; the last rows are not yet.
    const Bitmap& target = *transition.target->bitmap;
    const Bitmap& back = *surface->backBuffer();
    for (int x = 0; x < 240; ++x)
        ASSERT_EQ(ints(back.at(x, 100), back.at(x, 319)), ints(target.at(x, 100), 0x001F)) << x;
    EXPECT_EQ(transition.HandleEvent(e), 1);
    EXPECT_EQ(manager.nextId, VIEW_MAIN_MENU);
    for (int y = 0; y < 320; y += 7)
        for (int x = 0; x < 240; ++x) ASSERT_EQ(back.at(x, y), target.at(x, y)) << x << "," << y;
    EXPECT_EQ(headless::windowDevicePixels()[319 * 240 + 5], target.at(5, 319));
}

}  // namespace
